// The page's side of the game: it loads vantrel.js, keeps hiscore.txt in the
// browser's IndexedDB, builds the menu bar, turns mouse, keys and fingers
// into the game's terms, tells the game each display frame's time, and does
// what the game's front end asks (VantrelPage.call). The game itself runs in
// vantrel.wasm.
"use strict";

const scoreFolder = "/scores";
const scorePath = scoreFolder + "/hiscore.txt";
const canvas = document.getElementById("game");
// A canvas kept in plain memory: the game only ever puts pixels into it, which
// costs the browser much less there (measured with tools/measure-web.py).
const context = canvas.getContext("2d", {willReadFrequently: true});
const pictureSize = [632, 424];  // the game's picture, in game pixels
const query = new URLSearchParams(location.search);
// ?contract: the window contract's test program in place of the game; it
// gives the page each frame itself.
const program = query.has("contract") ? "contract" : "vantrel";

// The game's exported calls, once it runs.
let game = null;
let running = false;
let cursorShape = 0, cursorShown = true, captured = false;
const menu = {popups: [], items: new Map(), open: null, active: null};

function say(text) {
  const p = document.getElementById("message");
  p.textContent = text;
  p.hidden = false;
}

// Keys by the browser's key names, as the game's virtual-key codes; letters
// and digits are their upper-case character codes. F10 belongs to the menu.
const namedKeys = {
  Backspace: 0x08, Tab: 0x09, Clear: 0x0C, Enter: 0x0D, Shift: 0x10, Control: 0x11, Escape: 0x1B, " ": 0x20,
  PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27,
  ArrowDown: 0x28, Insert: 0x2D, Delete: 0x2E,
  F1: 0x70, F2: 0x71, F3: 0x72, F4: 0x73, F5: 0x74, F6: 0x75, F7: 0x76, F8: 0x77, F9: 0x78, F11: 0x7A, F12: 0x7B,
};
const keypadKeys = {"*": 0x6A, "+": 0x6B, "-": 0x6D, ".": 0x6E, ",": 0x6E, "/": 0x6F};

function virtualKey(event) {
  const key = event.key;
  if (event.location === KeyboardEvent.DOM_KEY_LOCATION_NUMPAD) {
    if (/^[0-9]$/.test(key)) return 0x60 + Number(key);
    if (key in keypadKeys) return keypadKeys[key];
  }
  if (/^[a-zA-Z0-9]$/.test(key)) return key.toUpperCase().charCodeAt(0);
  return namedKeys[key] || 0;
}

// The menu bar from the game's table: "&" marks a mnemonic.
function labelled(element, text) {
  const at = text.indexOf("&");
  if (at < 0 || at + 1 >= text.length) {
    element.textContent = text;
    return "";
  }
  const u = document.createElement("u");
  u.textContent = text[at + 1];
  element.append(text.slice(0, at), u, text.slice(at + 2));
  return text[at + 1].toLowerCase();
}

function buildMenu() {
  const bar = document.getElementById("menubar");
  let popup = null;
  for (let i = 0; i < game.menuSize(); i++) {
    const title = game.menuPopup(i), text = game.menuText(i), command = game.menuCommand(i);
    if (title) popup = addPopup(bar, title);
    const li = document.createElement("li");
    popup.list.append(li);
    if (text) addItem(popup, li, text, command);
    else li.className = "separator";
  }
  // A press outside the open menu only closes it, as in the windows.
  document.addEventListener("pointerdown", (e) => {
    if (!menu.open || bar.contains(e.target)) return;
    openMenu(null);
    e.preventDefault();
    e.stopPropagation();
  }, true);
}

// A press on a title opens its pop-up or closes it; while one is open, the
// pointer over another title opens that one instead.
function addPopup(bar, title) {
  const element = document.createElement("div");
  element.className = "popup";
  const heading = document.createElement("span");
  heading.className = "title";
  heading.tabIndex = -1;  // a tap target, for a phone's touch adjustment as much as the canvas is
  const list = document.createElement("ul");
  list.setAttribute("role", "menu");
  const popup = {element, list, mnemonic: labelled(heading, title), items: []};
  heading.addEventListener("pointerdown", (e) => {
    if (e.button !== 0) return;
    e.preventDefault();
    // A finger pressed on the title is let go where it is lifted, on an item.
    if (heading.hasPointerCapture(e.pointerId)) heading.releasePointerCapture(e.pointerId);
    openMenu(menu.open === popup ? null : popup);
  });
  heading.addEventListener("pointerenter", () => {
    if (menu.open && menu.open !== popup) openMenu(popup);
  });
  element.append(heading, list);
  bar.append(element);
  menu.popups.push(popup);
  return popup;
}

// An item is chosen where the button is let go over it, whether it was
// pressed there or on the title.
function addItem(popup, li, text, command) {
  li.className = "item";
  li.setAttribute("role", "menuitem");
  li.tabIndex = -1;
  const item = {element: li, command, mnemonic: labelled(li, text)};
  li.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    if (li.hasPointerCapture(e.pointerId)) li.releasePointerCapture(e.pointerId);
  });
  li.addEventListener("pointerup", (e) => {
    if (e.button === 0) choose(item.command);
  });
  li.addEventListener("pointerenter", () => highlight(item));
  li.addEventListener("pointerleave", () => highlight(null));
  popup.items.push(item);
  menu.items.set(command, item);
}

// A pop-up opened from the keyboard starts on its first item.
function openMenu(popup, fromKeyboard = false) {
  if (menu.open) menu.open.element.classList.remove("open");
  highlight(null);
  menu.open = popup;
  if (!popup) return;
  popup.element.classList.add("open");
  if (fromKeyboard) highlight(popup.items[0]);
}

function highlight(item) {
  if (menu.active) menu.active.element.classList.remove("active");
  menu.active = item;
  if (item) item.element.classList.add("active");
}

function choose(command) {
  openMenu(null);
  canvas.focus();
  if (running) game.commandChosen(command);
  afterGame();
}

// Alt+letter or F10 opens a pop-up. While one is open: Escape and Alt close
// it, the left and right arrows move along the bar, up and down along the
// items, Enter and Space choose the highlighted item, and a letter chooses
// its item, or, when items share the letter, moves to the next of them.
function menuKey(event) {
  const key = event.key, letter = key.length === 1 ? key.toLowerCase() : "";
  if (event.altKey && letter) {
    const popup = menu.popups.find((p) => p.mnemonic === letter);
    if (popup) openMenu(popup, true);
    return true;
  }
  if (!menu.open) {
    if (key === "F10") openMenu(menu.popups[0], true);
    return key === "Alt" || key === "F10";
  }
  const popups = menu.popups, items = menu.open.items;
  const step = (list, at, by) => list[(at + by + list.length) % list.length];
  if (key === "Escape" || key === "Alt" || key === "F10") openMenu(null);
  else if (key === "ArrowLeft") openMenu(step(popups, popups.indexOf(menu.open), -1), true);
  else if (key === "ArrowRight") openMenu(step(popups, popups.indexOf(menu.open), 1), true);
  else if (key === "ArrowDown") highlight(menu.active ? step(items, items.indexOf(menu.active), 1) : items[0]);
  else if (key === "ArrowUp") highlight(menu.active ? step(items, items.indexOf(menu.active), -1) : items.at(-1));
  else if ((key === "Enter" || key === " ") && menu.active) choose(menu.active.command);
  else if (letter) {
    const same = items.filter((i) => i.mnemonic === letter);
    if (same.length === 1) choose(same[0].command);
    else if (same.length > 1) highlight(step(same, same.indexOf(menu.active), 1));
  }
  return true;
}

// Panel text: the canvas's own text in the game's face, or the sans face the
// desktop windows stand in with, no larger than the game's character cell,
// kept where it covers at least half a pixel (the game's text is not
// smoothed).
const textCanvas = document.createElement("canvas").getContext("2d", {willReadFrequently: true});
const fonts = new Map();

function fontFor(face, height, weight) {
  const key = face + "/" + height + "/" + weight;
  if (!fonts.has(key)) {
    let size = height;
    for (; size > 1; size--) {
      textCanvas.font = `${weight} ${size}px "${face}", "DejaVu Sans", sans-serif`;
      const m = textCanvas.measureText("Ag");
      if (m.fontBoundingBoxAscent + m.fontBoundingBoxDescent <= height) break;
    }
    const css = `${weight} ${size}px "${face}", "DejaVu Sans", sans-serif`;
    textCanvas.font = css;
    fonts.set(key, {css, ascent: textCanvas.measureText("Ag").fontBoundingBoxAscent});
  }
  return fonts.get(key);
}

function paintText(pixels, width, clip, rect, bytes, align, face, height, weight, rgb) {
  const [left, top, right, bottom] = clip, w = right - left, h = bottom - top;
  const font = fontFor(face, height, weight);
  const c = textCanvas.canvas;
  if (c.width < w || c.height < h) {
    c.width = Math.max(c.width, w);
    c.height = Math.max(c.height, h);
  }
  textCanvas.setTransform(1, 0, 0, 1, 0, 0);
  textCanvas.clearRect(0, 0, w, h);
  textCanvas.font = font.css;
  textCanvas.fillStyle = "#fff";
  textCanvas.textBaseline = "alphabetic";
  textCanvas.textAlign = ["left", "center", "right"][align];
  const x = [rect[0], (rect[0] + rect[2]) / 2, rect[2]][align];
  const text = String.fromCharCode(...bytes);  // the game's text is Latin-1
  textCanvas.fillText(text, x - left, rect[1] + font.ascent - top);
  const alpha = textCanvas.getImageData(0, 0, w, h).data;
  const heap = game.heap32();
  const base = pixels >> 2;
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++)
      if (alpha[(y * w + x) * 4 + 3] >= 128) heap[base + (top + y) * width + left + x] = rgb;
}

// The help pages come with the page. One the server lacks shows the game's
// own message, as in the windows, instead of the server's error page.
async function checkHelpPage(frame) {
  const address = frame.contentWindow.location.href;
  let found = false;
  try {
    found = (await fetch(address)).ok;
  } catch (e) {
    // neither the server nor the offline copy has it
  }
  if (found) return;
  const page = frame.contentDocument;
  const p = page.createElement("p");
  p.textContent = `The help page ${new URL(address).pathname} is missing: the server does not have it. ` +
    "The help pages come with the game, in the folder help beside the page.";
  page.title = "Vantrel Help";
  page.body.replaceChildren(p);
}

// What the game's front end asks of the page.
const cursors = {[-1]: "none", 0: "default", 1: "crosshair", 2: "none"};
const calls = {
  openWindow(width, height) {
    pictureSize.splice(0, 2, width, height);
    running = true;
    sizeCanvas();
    return [canvas.width, canvas.height];
  },
  setCursor(shape) {
    cursorShape = shape;
    canvas.style.cursor = cursorShown ? cursors[shape] : "none";
  },
  showCursor(shown) {
    cursorShown = !!shown;
    calls.setCursor(cursorShape);
  },
  setMenuCheck(command, checked) {
    const item = menu.items.get(command);
    if (item) item.element.classList.toggle("checked", !!checked);
  },
  setTitle(title) { document.title = title; },
  captureMouse(on) { captured = !!on; },
  takeFocus() { canvas.focus(); },
  showNotice(text) {
    const p = document.getElementById("notice");
    p.textContent = text;
    p.hidden = false;
  },
  showAbout() {
    document.getElementById("about-caption").textContent = game.aboutText(0);
    document.getElementById("about-lines").textContent = [1, 2, 3, 4, 5].map(game.aboutText).join("\n");
    document.getElementById("about-ok").textContent = game.aboutText(6);
    document.getElementById("about").showModal();
  },
  openHelp() {
    const frame = document.getElementById("help-frame");
    if (!frame.src) {
      frame.addEventListener("load", () => checkHelpPage(frame));
      frame.src = "help/index.html";
    }
    document.getElementById("help").hidden = false;
  },
  // View, Full Screen: the window's part of the page over the whole screen.
  toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.getElementById("window").requestFullscreen().catch(() => {});
  },
  // Exit: the page cannot close itself; the game ends and says how to start
  // anew, once the handler that asked has returned, as a posted close does.
  postClose() {
    setTimeout(() => {
      game.closed();
      calls.ended();
    });
  },
  ended() {
    running = false;
    setTimeout(finish);  // once the game's handler has returned
    if (!query.has("play")) say("The game has ended. Reload the page to play again.");
  },
};
// The window has gone: as after a window's loop, the run's last save, then
// storage.
function finish() {
  window.vantrelExitCode = game.finished();
  afterGame();
  window.vantrelEnded = true;
}

window.VantrelPage = {
  call: (name, ...args) => calls[name](...args),
  paintText,
  // A place of the canvas, scaled by the game already.
  showPixels(rgba, x, y, w, h) {
    const bytes = new Uint8ClampedArray(game.heap8().buffer, rgba, w * h * 4);
    context.putImageData(new ImageData(bytes, w, h), x, y);
  },
};

// The table is kept in IndexedDB, shared by every tab of the page, each tab
// playing on its own copy in memory. Every read, merge and store of the
// stored table holds one lock across the tabs (the Web Locks API): a tab
// that saved reads the stored table, and when another tab stored a newer one
// meanwhile, puts the scores it added into that one (see The game in a web
// browser in docs/behaviour.md). The game's ticks wait meanwhile, so that it
// saves nothing in between. A store tells the other tabs, which read it.
const channel = "BroadcastChannel" in window ? new BroadcastChannel("vantrel-scores") : null;
const basePath = "/base.txt", oursPath = "/ours.txt";
let storage = false;
let savedAt = 0;  // the time of the table this tab last read or stored
let base = null;  // that table's bytes; null when there was none
let syncing = false;
let syncQueued = null;

function fileTime() {
  try {
    return Module.FS.stat(scorePath).mtime.getTime();
  } catch (e) {
    return 0;
  }
}

const syncfs = (populate) => new Promise((done) => Module.FS.syncfs(populate, done));
const sameBytes = (a, b) => a === b || (a && b && a.length === b.length && a.every((x, i) => x === b[i]));
const withLock = (work) => (navigator.locks ? navigator.locks.request("vantrel-scores", work) : work());

function writeOrRemove(path, bytes) {
  if (bytes) Module.FS.writeFile(path, bytes);
  else if (Module.FS.analyzePath(path).exists) Module.FS.unlink(path);
}

// replace: this tab's table goes in as it is (an upload and its undo).
let pendingSyncs = 0;  // begun and not ended: the stored table is not yet this tab's
async function syncTable(replace = false) {
  if (!storage) {
    savedAt = fileTime();
    return;
  }
  pendingSyncs++;
  await withLock(async () => {
    syncing = true;
    try {
      const ours = tableBytes(), changed = replace || !sameBytes(ours, base);
      const readError = await syncfs(true);
      const theirs = tableBytes();
      if (changed && !readError) {
        if (replace || sameBytes(theirs, base) || !ours) {
          writeOrRemove(scorePath, ours);
        } else {
          writeOrRemove(basePath, base);
          Module.FS.writeFile(oursPath, ours);
          game.mergeTables(basePath, oursPath);
        }
        if (await syncfs(false)) {
          calls.showNotice("The high scores could not be stored in this browser: they last until the page is closed.");
        } else if (channel) {
          channel.postMessage("saved");
        }
      }
      base = tableBytes();
      savedAt = fileTime();
    } finally {
      syncing = false;
    }
  });
  pendingSyncs--;
}

// The stored table as it is now, when another tab stored one.
if (channel) channel.onmessage = () => syncTable();

// After every call into the game: a save it made goes to storage.
function afterGame() {
  if (syncing || fileTime() === savedAt || syncQueued) return;
  syncQueued = syncTable().finally(() => (syncQueued = null));
}

// The clock is the mid-end's: every display frame tells it the time, and it
// runs the ticks due (see Ticks from a display's frames in
// docs/behaviour.md). While the table is synchronised the game waits, so
// that it saves nothing meanwhile.
function frame(now) {
  if (!running || syncing) return;
  game.framePassed(now);
  afterGame();
}

function loop(now) {
  frame(now);
  if (running) requestAnimationFrame(loop);
}

// Points on the canvas in the canvas's own pixels (the game's window
// pixels), whatever size it is shown at.
function windowPoint(event) {
  const box = canvas.getBoundingClientRect();
  const scale = canvas.width / box.width;
  return [Math.floor((event.clientX - box.left) * scale), Math.floor((event.clientY - box.top) * scale)];
}

// The canvas is the game's client area: the whole stage, in device pixels,
// its corner on a device pixel, so that the game's whole scales (see The
// picture fits the window) are whole blocks of the screen's pixels. A stage
// smaller than the picture shows it at scale 1, shrunk smoothly to fit.
// True when the canvas took a new size, which clears it.
function sizeCanvas() {
  const stage = document.getElementById("stage").getBoundingClientRect();
  const ratio = devicePixelRatio;
  const left = Math.ceil(stage.left * ratio), top = Math.ceil(stage.top * ratio);
  const room = [Math.floor(stage.right * ratio) - left, Math.floor(stage.bottom * ratio) - top];
  const least = pictureSize;
  const shrink = Math.min(room[0] / least[0], room[1] / least[1], 1);
  const size = shrink < 1 ? least : room;
  canvas.style.width = `${(size[0] * shrink) / ratio}px`;
  canvas.style.height = `${(size[1] * shrink) / ratio}px`;
  const margin = [0, 1].map((i) => (shrink < 1 ? Math.floor((room[i] - least[i] * shrink) / 2) : 0));
  canvas.style.left = `${(left + margin[0]) / ratio - stage.left}px`;
  canvas.style.top = `${(top + margin[1]) / ratio - stage.top}px`;
  canvas.classList.toggle("shrunk", shrink < 1);
  if (canvas.width === size[0] && canvas.height === size[1]) return false;
  canvas.width = size[0];
  canvas.height = size[1];
  context.fillStyle = "#000";
  context.fillRect(0, 0, size[0], size[1]);
  return true;
}

// A canvas of a new size gets the picture again; one only moved or shown
// at another size keeps its pixels.
function fitStage() {
  if (sizeCanvas() && running) {
    game.resized(canvas.width, canvas.height);
    game.exposed();
  }
}
// Any change of the stage's size in device pixels: the window, full screen,
// the browser's zoom or the screen's scale.
new ResizeObserver(fitStage).observe(document.getElementById("stage"), {box: "device-pixel-content-box"});
function watchRatio() {
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener("change", () => {
    fitStage();
    watchRatio();
  }, {once: true});
}
watchRatio();

// The name from an on-screen keyboard, which tells letters only as text:
// each letter typed is the game's key, and a blank kept in the box lets
// Backspace be seen. Real keys in the box go to the game as on the canvas.
const nameBox = document.getElementById("name");

function typeName() {
  nameBox.value = " ";
  nameBox.focus();
}

function listenForName() {
  const done = () => {
    if (game.takesName()) return typeName();
    nameBox.blur();
    canvas.focus();
  };
  nameBox.addEventListener("keydown", (e) => {
    const code = virtualKey(e);
    if (!running || !code) return;
    e.preventDefault();
    e.stopPropagation();
    game.keyPressed(code);
    afterGame();
    done();
  });
  nameBox.addEventListener("input", (e) => {
    if (!running) return;
    if (e.inputType === "deleteContentBackward") game.keyPressed(namedKeys.Backspace);
    for (const c of nameBox.value.trim()) if (/^[a-zA-Z0-9]$/.test(c)) game.keyPressed(c.toUpperCase().charCodeAt(0));
    afterGame();
    done();
  });
}

function listen() {
  const live = (f) => (event) => {
    if (!running) return;
    f(event);
    afterGame();
  };
  window.addEventListener("pointermove", live((e) => {
    if (e.target === canvas || captured) game.pointerMoved(...windowPoint(e));
  }));
  // A finger is a pointer that arrives where it touches; lifted in name
  // entry, it brings up the on-screen keyboard.
  canvas.addEventListener("pointerdown", live((e) => {
    if (e.button !== 0) return;
    canvas.focus();
    e.preventDefault();
    if (e.pointerType !== "mouse") game.pointerMoved(...windowPoint(e));
    game.buttonPressed();
  }));
  window.addEventListener("pointerup", live((e) => {
    if (e.button !== 0 || (e.target !== canvas && !captured)) return;
    game.buttonReleased(...windowPoint(e));
    if (e.pointerType !== "mouse" && game.takesName()) typeName();
  }));
  listenForName();
  window.addEventListener("keydown", live((e) => {
    if (menuKey(e)) return e.preventDefault();
    if (document.activeElement !== canvas && document.activeElement !== document.body) return;
    const code = virtualKey(e);
    if (!code) return;
    e.preventDefault();
    game.keyPressed(code);
  }));
  window.addEventListener("focus", live(() => game.activated(1)));
  window.addEventListener("blur", live(() => game.activated(0)));
  document.getElementById("about").addEventListener("close", () => {
    if (running) game.aboutClosed();
    canvas.focus();
  });
  // The browser dropped the canvas's pixels (its graphics context was lost):
  // the game paints them all again, as a window does when uncovered.
  canvas.addEventListener("contextrestored", live(() => game.exposed()));
  // Closing the tab is the window's close box: the run ends, and its last
  // save goes to storage as far as the browser lets it.
  window.addEventListener("pagehide", (e) => {
    if (!running || e.persisted) return;
    game.closed();
    running = false;
    finish();
  });
  document.getElementById("help-close").addEventListener("click", () => {
    document.getElementById("help").hidden = true;
    canvas.focus();
  });
}

// The table as a file: saved from the page, or put in from one. An uploaded
// file is read by the game's own reader first; one that is not a table is
// refused, and for one that is, the player sees what it holds and decides.
// The table it replaced can be put back.
const uploadPath = "/upload.txt";
let replacedTable;  // undefined: nothing to undo; null: there was no table

function tableBytes() {
  try {
    return Module.FS.readFile(scorePath);
  } catch (e) {
    return null;
  }
}

function putTable(bytes) {
  writeOrRemove(scorePath, bytes);
  syncTable(true);
}

async function readUpload(file) {
  // No table is larger than the limit: a larger file is refused unread.
  const bytes = new Uint8Array(await file.slice(0, game.uploadLimit() + 1).arrayBuffer());
  Module.FS.writeFile(uploadPath, bytes);
  const printed = window.vantrelOutput.length;
  const problem = game.readUpload(uploadPath);
  Module.FS.unlink(uploadPath);
  if (problem) {
    calls.showNotice(`"${file.name}" was not put in place: ${problem}. Your high scores are unchanged.`);
    return;
  }
  const check = document.getElementById("upload-check");
  document.getElementById("upload-name").textContent = file.name;
  const list = document.getElementById("upload-entries");
  list.replaceChildren();
  let cheaters = 0;
  for (let i = 0; i < 10; i++) {
    const li = document.createElement("li");
    const name = game.uploadedName(i);
    li.textContent = `${name} ${game.uploadedScore(i)}`;
    if (name === "Cheater") cheaters++;
    list.append(li);
  }
  document.getElementById("upload-cheaters").hidden = cheaters === 0;
  const invalid = window.vantrelOutput.slice(printed).filter((line) => line);
  document.getElementById("upload-invalid").hidden = invalid.length === 0;
  document.getElementById("upload-invalid-lines").textContent = invalid.join("\n");
  check.returnValue = "";
  check.showModal();
  await new Promise((done) => check.addEventListener("close", done, {once: true}));
  canvas.focus();
  if (check.returnValue !== "replace") return calls.showNotice("Your high scores are unchanged.");
  replacedTable = tableBytes();
  putTable(bytes);
  document.getElementById("undo-upload").hidden = false;
  calls.showNotice(`The table of "${file.name}" is now the high-score table. Undo upload puts yours back.`);
}

// The table's controls hand the keys back to the game once used, so that
// Space and Enter do not press them again.
function tableButtons() {
  const backToGame = () => canvas.focus();
  for (const id of ["download", "undo-upload"]) document.getElementById(id).addEventListener("click", backToGame);
  for (const event of ["change", "cancel"]) document.getElementById("upload").addEventListener(event, backToGame);
  document.getElementById("download").addEventListener("click", () => {
    const bytes = tableBytes();
    if (!bytes) return calls.showNotice("There is no high-score table yet: it is made when the first game ends.");
    const a = document.createElement("a");
    a.href = URL.createObjectURL(new Blob([bytes], {type: "text/plain"}));
    a.download = "hiscore.txt";
    a.click();
  });
  const upload = document.getElementById("upload");
  upload.addEventListener("change", () => {
    const file = upload.files[0];
    upload.value = "";  // the same file may be chosen again
    if (file) readUpload(file);
  });
  const undo = document.getElementById("undo-upload");
  undo.addEventListener("click", () => {
    putTable(replacedTable);
    replacedTable = undefined;
    undo.hidden = true;
    calls.showNotice("The high-score table is the one from before the upload again.");
  });
}

// The table's folder from IndexedDB. The game shows its first frame
// meanwhile, its ticks waiting: it needs the table only when a game ends.
async function readStorage() {
  syncing = true;
  try {
    if (!window.indexedDB) throw new Error("no IndexedDB");
    Module.FS.mount(Module.IDBFS, {}, scoreFolder);
    storage = true;
    // A browser that keeps storage from the page may never answer.
    const error = await new Promise((done) => {
      syncfs(true).then(done);
      setTimeout(() => done(new Error("no answer from IndexedDB")), 3000);
    });
    if (error) throw error;
    base = tableBytes();
  } catch (e) {
    storage = false;
    say("This browser refused the page its storage: the high scores last only until the page is closed.");
  }
  savedAt = fileTime();
  syncing = false;
  window.vantrelTableRead = true;
}

// Start: the game at once, then its table. With --play from the address
// (?play=script.vsim&screenshot=1) the page plays a script, as the tests do.
async function start() {
  const FS = Module.FS;
  FS.mkdir(scoreFolder);
  const stored = readStorage();
  const args = program === "contract" ? [] : ["--hiscore", scorePath];
  if (query.get("contract")) args.push("--gtest_filter=" + query.get("contract"));
  if (query.has("play")) {
    const response = await fetch(query.get("play"));
    FS.writeFile("/play.vsim", new Uint8Array(await response.arrayBuffer()));
    args.push("--play", "/play.vsim");
    if (query.has("screenshot")) args.push("--screenshot", "/shot.png");
  }
  const e = (name, returns, params) => Module.cwrap(name, returns, params);
  game = {
    framePassed: e("vantrelFramePassed", null, ["number"]),
    pointerMoved: e("vantrelPointerMoved", null, ["number", "number"]),
    buttonPressed: e("vantrelButtonPressed", null, []),
    buttonReleased: e("vantrelButtonReleased", null, ["number", "number"]),
    keyPressed: e("vantrelKeyPressed", null, ["number"]),
    commandChosen: e("vantrelCommandChosen", null, ["number"]),
    activated: e("vantrelActivated", null, ["number"]),
    resized: e("vantrelResized", null, ["number", "number"]),
    exposed: e("vantrelExposed", null, []),
    pictureArea: e("vantrelPictureArea", "string", []),
    aboutClosed: e("vantrelAboutClosed", null, []),
    closed: e("vantrelClosed", null, []),
    finished: e("vantrelFinished", "number", []),
    menuSize: e("vantrelMenuSize", "number", []),
    menuPopup: e("vantrelMenuPopup", "string", ["number"]),
    menuText: e("vantrelMenuText", "string", ["number"]),
    menuCommand: e("vantrelMenuCommand", "number", ["number"]),
    aboutText: e("vantrelAboutText", "string", ["number"]),
    state: e("vantrelState", "string", []),
    takesName: e("vantrelTakesName", "boolean", []),
    mergeTables: e("vantrelMergeTables", null, ["string", "string"]),
    readUpload: e("vantrelReadUpload", "string", ["string"]),
    uploadLimit: e("vantrelUploadLimit", "number", []),
    uploadedName: e("vantrelUploadedName", "string", ["number"]),
    uploadedScore: e("vantrelUploadedScore", "number", ["number"]),
    heap8: () => Module.HEAPU8,
    heap32: () => Module.HEAPU32,
  };
  buildMenu();
  tableButtons();
  listen();
  Module.callMain(args);  // the window opens, or the page says why not
  window.vantrelState = () => JSON.parse(game.state());
  window.vantrelPictureArea = () => game.pictureArea().split(" ").map(Number);
  window.vantrelStarted = performance.now();
  canvas.focus();
  if (program === "vantrel") requestAnimationFrame(loop);
  // The offline copy is made once the game shows: its fetches and the
  // worker's start would compete with the game's own start.
  if ("serviceWorker" in navigator && program === "vantrel" && !query.has("play")) {
    navigator.serviceWorker.register("service-worker.js");
  }
  await stored;
}

window.vantrelOutput = [];
var Module = {
  print: (line) => window.vantrelOutput.push(line),
  printErr: (line) => console.error(line),
  onRuntimeInitialized: () => start().catch((e) => say("Vantrel could not start: " + e)),
  onAbort: (what) => say("Vantrel stopped: " + what),
};

if (location.protocol === "file:") {
  // A page opened as a file may not load its WebAssembly.
  document.getElementById("window").hidden = true;
  say("Vantrel runs from a web server, not from a file: a browser does not let a page opened as a file load " +
    "the game. In the game's source folder, run\n  scripts/build-web.sh && python3 -m http.server -d " +
    "build-web/site -b 127.0.0.1 8000\nand open http://127.0.0.1:8000/ in the browser.");
} else if (typeof WebAssembly !== "object") {
  say("This browser cannot run WebAssembly, which Vantrel needs. A current Firefox, Chromium, Edge or Safari can.");
} else {
  const script = document.createElement("script");
  script.src = program + ".js";
  script.onerror = () => say(`Vantrel could not load ${program}.js from the server.`);
  document.body.append(script);
}
