"""The page in headless Chromium against the Linux build, from a server on
127.0.0.1: a played script ends with the Linux state line and a canvas whose
field is the Linux window's pixel for pixel; the table survives a reload and
two tabs playing at once both keep their scores; and the page as a player
meets it, driven by real mouse and keys through the browser: the menu bar.

  test_page.py SITE LINUX_BIN [unittest options, such as -k Menus]
  (SITE: build-web/site, LINUX_BIN: build/bin, both absolute)
"""
import base64
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

SITE, LINUX = sys.argv[1], sys.argv[2]
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync"]

# A ball in flight: the field holds a disc. A short game: three balls lost
# after a block each, so its player enters the table.
IN_PLAY = "type ABC\nkey 13\nmove 200 250\nclick 200 250\ntick 333\nstate\n"


def short_game(name):
    ball = "move 60 215\nclick 60 215\ntick 120\nmove 300 215\ntick 300\n"
    return f"type {name}\nkey 13\n" + ball * 3 + "state\n"


def linux_sim(folder, *scripts):
    """vantrel-sim's output of each script in turn, and the table left in folder."""
    outputs = []
    for script in scripts:
        path = os.path.join(folder, "script.vsim")
        with open(path, "w") as f:
            f.write(script)
        outputs.append(subprocess.run([os.path.join(LINUX, "vantrel-sim"), path], cwd=folder, check=True,
                                      capture_output=True, text=True).stdout)
    table = os.path.join(folder, "hiscore.txt")
    if not os.path.exists(table):
        return outputs, None
    with open(table, "rb") as f:
        return outputs, f.read()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class PageCase(unittest.TestCase):
    """A server on 127.0.0.1 for the built site, and a fresh Chromium for each case."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="vantrel-page-")
        cls.site = os.path.join(cls.work, "site")
        shutil.copytree(SITE, cls.site)
        for name in ("contract.js", "contract.wasm"):
            shutil.copy(os.path.join(SITE, "..", "contract", name), cls.site)
        handler = functools.partial(QuietHandler, directory=cls.site)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = f"http://127.0.0.1:{cls.server.server_address[1]}/index.html"

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        shutil.rmtree(cls.work)

    def setUp(self):
        # A fresh profile: no table, nothing cached.
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + tempfile.mkdtemp(dir=self.work)]:
            options.add_argument(flag)
        self.browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.browser.set_window_size(1000, 700)

    def tearDown(self):
        self.browser.quit()

    def serve(self, name, text):
        with open(os.path.join(self.site, name), "w") as f:
            f.write(text)

    def wait_for(self, expression, seconds=60):
        end = time.time() + seconds
        while time.time() < end:
            value = self.browser.execute_script("return " + expression)
            if value:
                return value
            time.sleep(0.2)
        message = self.browser.execute_script("return document.getElementById('message').textContent")
        self.fail(f"waited {seconds} s for {expression}; the page says: {message!r}")

    def start(self, query=""):
        """The page opened as a player opens it, the game started."""
        self.browser.get(self.url + query)
        self.wait_for("window.vantrelStarted")

    def state(self):
        return self.browser.execute_script("return window.vantrelState()")

    def keys(self, *keys):
        """Keys pressed and released in turn; a tuple is a chord (Alt+S)."""
        actions = ActionChains(self.browser)
        for key in keys:
            chord = key if isinstance(key, tuple) else (key,)
            for k in chord:
                actions.key_down(k)
            for k in reversed(chord):
                actions.key_up(k)
        actions.perform()

    def wait_for_true(self, check, seconds=10):
        end = time.time() + seconds
        while not check():
            if time.time() > end:
                self.fail("waited in vain")
            time.sleep(0.1)

    def output(self):
        return "".join(line + "\n" for line in self.browser.execute_script("return window.vantrelOutput"))

    def title(self, text):
        return self.browser.find_element(By.XPATH, f"//span[@class='title'][normalize-space()='{text}']")

    def item(self, popup, text):
        return self.browser.find_element(
            By.XPATH, f"//div[span[normalize-space()='{popup}']]//li[normalize-space()='{text}']")

    def choose(self, popup, text):
        """A menu item chosen with the mouse."""
        self.title(popup).click()
        self.item(popup, text).click()

    def table(self):
        """The table as a fresh load of the page finds it."""
        self.wait_for("pendingSyncs == 0")
        self.browser.get(self.url)
        self.wait_for("window.vantrelTableRead")
        return bytes(self.browser.execute_script(
            "try { return Array.from(Module.FS.readFile('/scores/hiscore.txt')) } catch (e) { return [] }"))



class Page(PageCase):
    def test_a_played_script_ends_as_on_linux_with_the_field_pixel_for_pixel(self):
        folder = tempfile.mkdtemp(dir=self.work)
        (expected,), _ = linux_sim(folder, IN_PLAY)
        shot = os.path.join(folder, "linux.png")
        subprocess.run([os.path.join(LINUX, "vantrel"), "--play", os.path.join(folder, "script.vsim"),
                        "--screenshot", shot], cwd=folder, check=True, capture_output=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        self.serve("in-play.vsim", IN_PLAY)
        self.browser.get(self.url + "?play=in-play.vsim&screenshot=1")
        self.wait_for("window.vantrelEnded")
        self.assertEqual(self.output(), expected)
        canvas = self.browser.execute_script("""
            const area = window.vantrelPictureArea(), w = area[2] - area[0], h = area[3] - area[1];
            const shown = document.getElementById('game').getContext('2d').getImageData(area[0], area[1], w, h);
            const picture = document.createElement('canvas');
            picture.width = w;
            picture.height = h;
            picture.getContext('2d').putImageData(shown, 0, 0);
            return picture.toDataURL('image/png');""")
        web = os.path.join(folder, "web.png")
        with open(web, "wb") as f:
            f.write(base64.b64decode(canvas.split(",", 1)[1]))
        compared = subprocess.run([os.path.join(LINUX, "vantrel-compare-frames"), shot, web],
                                  capture_output=True, text=True)
        self.assertEqual(compared.returncode, 0, compared.stdout + compared.stderr)

    def test_the_table_survives_a_reload(self):
        (expected,), table = linux_sim(tempfile.mkdtemp(dir=self.work), short_game("AB"))
        self.serve("ab.vsim", short_game("AB"))
        self.browser.get(self.url + "?play=ab.vsim")
        self.wait_for("window.vantrelOutput.length")
        self.assertEqual(self.output(), expected)
        self.assertEqual(self.table(), table)

    def test_a_score_the_game_could_not_save_is_saved_when_the_player_leaves(self):
        late_game = "tick 300\n" + short_game("AB")
        _, table = linux_sim(tempfile.mkdtemp(dir=self.work), late_game)
        self.serve("late.vsim", late_game)
        self.browser.get(self.url + "?play=late.vsim")
        self.wait_for("window.vantrelTableRead")
        self.browser.execute_script("Module.FS.chmod('/scores', 0o555)")
        self.wait_for("window.vantrelOutput.length")
        self.wait_for("!document.getElementById('notice').hidden")
        self.browser.execute_script("Module.FS.chmod('/scores', 0o777)")
        self.choose("Game", "Exit")
        self.wait_for("window.vantrelEnded")
        self.assertEqual(self.browser.execute_script("return window.vantrelExitCode"), 0)
        self.assertEqual(self.table(), table)

    def two_tabs(self, at_once):
        """The table after a tab plays AB's game and a second tab CD's. at_once:
        the first tab's store is held between its save and IndexedDB until the
        second tab, started on the table without AB's score, has ended."""
        self.serve("ab.vsim", short_game("AB"))
        self.serve("cd.vsim", short_game("CD"))
        first = self.browser.current_window_handle
        self.browser.get(self.url + "?play=ab.vsim")
        self.wait_for("window.vantrelStarted")
        if at_once:
            self.browser.execute_script("""
                const syncfs = Module.FS.syncfs;
                const scored = () => new TextDecoder().decode(Module.FS.readFile('/scores/hiscore.txt')).includes('AB ');
                Module.FS.syncfs = (populate, done) => {
                  if (populate || window.release || !scored()) return syncfs.call(Module.FS, populate, done);
                  window.release = () => syncfs.call(Module.FS, populate, done);
                };""")
            self.wait_for("!!window.release")
        else:
            time.sleep(2)  # the second tab reads the table before the first saves
        self.browser.switch_to.new_window("window")
        second = self.browser.current_window_handle
        self.browser.get(self.url + "?play=cd.vsim")
        self.wait_for("window.vantrelOutput.length")
        self.browser.switch_to.window(first)
        if at_once:
            self.browser.execute_script("window.release()")
        self.wait_for("window.vantrelOutput.length")
        self.browser.switch_to.window(second)
        self.wait_for("pendingSyncs == 0")
        self.browser.close()
        self.browser.switch_to.window(first)
        return self.table()

    def test_the_canvas_is_touched_only_where_the_picture_changes(self):
        """Frames that change nothing put no pixels; a key typed into the name
        puts the name's place only, not the picture."""
        self.start()
        self.browser.execute_script("""
            window.puts = [];
            const put = CanvasRenderingContext2D.prototype.putImageData;
            CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
              if (this.canvas.id === 'game') window.puts.push(image.width * image.height);
              return put.apply(this, arguments);
            };""")
        time.sleep(1)  # some 60 display frames of name entry, nothing changing
        self.assertEqual(self.browser.execute_script("return window.puts"), [])
        self.keys("A")
        self.wait_for("window.puts.length")
        time.sleep(1)
        area = self.browser.execute_script("return window.vantrelPictureArea()")
        picture = (area[2] - area[0]) * (area[3] - area[1])
        puts = self.browser.execute_script("return window.puts")
        self.assertLess(sum(puts), picture / 10, puts)

    def test_two_tabs_keep_both_scores(self):
        _, table = linux_sim(tempfile.mkdtemp(dir=self.work), short_game("AB"), short_game("CD"))
        self.assertEqual(self.two_tabs(at_once=False), table)

    def test_two_tabs_ending_at_once_keep_both_scores(self):
        _, table = linux_sim(tempfile.mkdtemp(dir=self.work), short_game("AB"), short_game("CD"))
        self.assertEqual(self.two_tabs(at_once=True), table)


class Contracts(PageCase):
    """The contracts every window and drawing surface keep, run over the page:
    their cases (tests/contract/) drive the page through its own DOM events
    and frame handler (tests/web/contract_driver.cpp)."""

    def test_the_page_keeps_the_window_and_surface_contracts(self):
        self.browser.set_window_size(1400, 1000)
        self.browser.get(self.url + "?contract")
        failed = self.wait_for("window.vantrelContractFailed !== undefined && "
                               "[window.vantrelContractFailed]", seconds=300)[0]
        output = self.output()
        self.assertEqual(failed, 0, output)
        for suite in ("WindowContract", "SurfaceContract"):
            self.assertIn(f"[       OK ] {suite}.", output)


class Menus(PageCase):
    """The menu bar by mouse, by keyboard and by both, as in the windows."""

    def open_menu(self):
        """The title of the open pop-up and its highlighted item, or None."""
        return self.browser.execute_script("""
            const open = document.querySelector('#menubar .popup.open');
            if (!open) return null;
            const active = open.querySelector('li.active');
            return [open.querySelector('.title').textContent, active ? active.textContent : null,
                    open.querySelector('ul').getBoundingClientRect().height > 0];""")

    def checked(self):
        return self.browser.execute_script(
            "return Array.from(document.querySelectorAll('#menubar li.checked'), (li) => li.textContent)")

    def speed(self):
        return self.state()["speedFactor"]

    def test_every_pop_up_opens_and_every_item_is_chosen_by_mouse(self):
        self.start()
        for popup in ("Game", "Edit", "View", "Speed", "Help"):
            with self.subTest(popup=popup):
                self.title(popup).click()
                self.assertEqual(self.open_menu(), [popup, None, True])
                self.title(popup).click()
                self.assertIsNone(self.open_menu())
        # An item is chosen by a click, or by pressing on the title and letting go over it.
        choices = [
            ("Speed", "Fast", lambda: self.speed() == 1.5),
            ("Speed", "Slow", lambda: self.speed() == 0.5),
            ("Speed", "Sonic", lambda: self.speed() == 2.0),
            ("Speed", "Normal", lambda: self.speed() == 1.0),
            ("View", "Hi Score", lambda: self.state()["gameState"] == 46),
            ("Edit", "Players Name", lambda: self.state()["gameState"] == 45),
            ("Game", "New", lambda: self.state()["gameState"] == 40),
            ("Help", "Find", lambda: self.browser.execute_script("return !help.hidden")),
            ("Help", "About", lambda: self.browser.execute_script("return about.open")),
        ]
        for drag in (False, True):
            for popup, text, done in choices:
                with self.subTest(popup=popup, item=text, drag=drag):
                    if drag:
                        ActionChains(self.browser).click_and_hold(self.title(popup)).move_to_element(
                            self.item(popup, text)).release().perform()
                    else:
                        self.title(popup).click()
                        self.item(popup, text).click()
                    self.assertIsNone(self.open_menu())
                    self.wait_for_true(done)
                    if popup == "Speed":
                        self.assertEqual(self.checked(), [text])
                    if text == "About":
                        self.browser.find_element(By.ID, "about-ok").click()
                    if text == "Find":
                        self.browser.find_element(By.ID, "help-close").click()
        # With a pop-up open, the pointer over another title opens that one.
        self.title("Game").click()
        ActionChains(self.browser).move_to_element(self.title("Speed")).perform()
        self.assertEqual(self.open_menu(), ["Speed", None, True])
        # A press outside closes it.
        ActionChains(self.browser).move_to_element_with_offset(
            self.browser.find_element(By.ID, "game"), 0, 150).click().perform()
        self.assertIsNone(self.open_menu())
        self.title("Game").click()
        self.item("Game", "Exit").click()
        self.wait_for("window.vantrelEnded")

    def test_the_keyboard_opens_moves_along_and_chooses(self):
        self.start()
        alt = lambda letter: (Keys.ALT, letter)
        self.keys(alt("s"))
        self.assertEqual(self.open_menu(), ["Speed", "Slow", True])
        self.keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN)
        self.assertEqual(self.open_menu(), ["Speed", "Fast", True])
        self.keys(Keys.ENTER)
        self.assertIsNone(self.open_menu())
        self.assertEqual(self.speed(), 1.5)
        # Slow and Sonic share their letter: it moves between them, Enter chooses.
        self.keys(alt("s"), "s")
        self.assertEqual(self.open_menu(), ["Speed", "Sonic", True])
        self.keys("s")
        self.assertEqual(self.open_menu(), ["Speed", "Slow", True])
        self.keys("s", Keys.ENTER)
        self.assertEqual(self.speed(), 2.0)
        # A letter of its own chooses at once; the arrows move along the bar and wrap.
        self.keys(alt("g"), Keys.ARROW_LEFT)
        self.assertEqual(self.open_menu(), ["Help", "Find", True])
        self.keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.ARROW_UP)
        self.assertEqual(self.open_menu(), ["Edit", "Players Name", True])
        self.keys(Keys.ESCAPE)
        self.assertIsNone(self.open_menu())
        self.keys(alt("v"), "h")
        self.wait_for("window.vantrelState().gameState == 46")
        self.keys(Keys.F10)
        self.assertEqual(self.open_menu(), ["Game", "New", True])
        self.keys(Keys.ARROW_UP, Keys.SPACE)
        self.wait_for("window.vantrelEnded")

    def test_mouse_and_keyboard_together(self):
        self.start()
        self.title("Speed").click()
        self.keys(Keys.ARROW_UP)
        self.assertEqual(self.open_menu(), ["Speed", "Sonic", True])
        self.keys(Keys.ENTER)
        self.assertEqual(self.speed(), 2.0)
        self.keys((Keys.ALT, "v"))
        self.item("View", "Hi Score").click()
        self.wait_for("window.vantrelState().gameState == 46")
        # A key the menu does not take leaves it open and reaches no game.
        self.keys((Keys.ALT, "e"), Keys.ARROW_DOWN)
        self.assertEqual(self.open_menu(), ["Edit", "Players Name", True])
        self.assertEqual(self.state()["gameState"], 46)


class FullScreen(PageCase):
    """F11 and View, Full Screen toggle full screen through the game's
    command; the menu bar sits at the top, the picture is centred at a whole
    scale and the table's controls stay readable."""

    def layout(self):
        return self.browser.execute_script("""
            const box = (id) => document.getElementById(id).getBoundingClientRect();
            const game = box('game'), bar = box('menubar'), table = document.getElementById('table');
            const colours = (id) => [getComputedStyle(document.getElementById(id)).color,
                                     getComputedStyle(document.getElementById(id)).backgroundColor];
            const canvas = document.getElementById('game'), area = window.vantrelPictureArea();
            return {full: document.fullscreenElement && document.fullscreenElement.id, width: innerWidth,
                    height: innerHeight, barTop: bar.top, gameWidth: area[2] - area[0],
                    gameHeight: area[3] - area[1], left: game.left + area[0],
                    right: innerWidth - game.left - area[2], top: game.top + area[1] - bar.bottom,
                    bottom: table.getBoundingClientRect().top - game.top - area[3],
                    colours: [colours('menubar'), colours('table')]};""")

    def test_f11_and_the_menu_item_toggle_full_screen(self):
        self.start()
        for how in ("F11", "menu"):
            with self.subTest(how):
                if how == "F11":
                    self.keys(Keys.F11)
                else:
                    self.browser.find_element(By.XPATH, "//span[normalize-space()='View']").click()
                    self.browser.find_element(By.XPATH, "//li[starts-with(normalize-space(), 'Full Screen')]").click()
                self.wait_for("document.fullscreenElement")
                time.sleep(0.5)
                layout = self.layout()
                self.assertEqual(layout["full"], "window")
                self.assertEqual(layout["barTop"], 0)
                scale = layout["gameWidth"] / 632
                self.assertEqual(scale, int(scale), layout)
                self.assertEqual(layout["gameHeight"], 424 * scale)
                self.assertLessEqual(abs(layout["left"] - layout["right"]), 1, layout)
                self.assertLessEqual(abs(layout["top"] - layout["bottom"]), 1, layout)
                for text, background in layout["colours"]:  # the bars' own, not black on black
                    self.assertNotEqual(text, background)
                    self.assertNotIn(background, ("rgba(0, 0, 0, 0)", "rgb(0, 0, 0)"))
                self.keys(Keys.F11)
                self.wait_for("!document.fullscreenElement")
        # F11 reaches no game: the name being typed is unchanged.
        self.assertEqual(self.state()["typedName"], "")


# The page's screenshot against its canvas: s is the picture's scale on the
# canvas, and every game pixel must be an s by s block of one colour on the
# screen, the canvas's colour at the block's corner, where the canvas lies.
COMPARE_SCREEN = """
const [shot, done] = arguments;
const image = new Image();
image.src = 'data:image/png;base64,' + shot;
image.decode().then(() => {
  const read = (source, w, h) => {
    const c = document.createElement('canvas');
    c.width = w; c.height = h;
    const g = c.getContext('2d');
    g.drawImage(source, 0, 0);
    return g.getImageData(0, 0, w, h).data;
  };
  const screen = read(image, image.width, image.height);
  const canvas = document.getElementById('game'), box = canvas.getBoundingClientRect();
  const shown = read(canvas, canvas.width, canvas.height);
  const ratio = devicePixelRatio, area = window.vantrelPictureArea(), s = (area[2] - area[0]) / 632;
  const x0 = Math.round(box.left * ratio) + area[0], y0 = Math.round(box.top * ratio) + area[1];
  let uneven = 0, different = 0;
  for (let y = 0; y < 424; y++)
    for (let x = 0; x < 632; x++) {
      const corner = ((area[1] + y * s) * canvas.width + area[0] + x * s) * 4;
      const want = shown.slice(corner, corner + 3).join();
      const first = ((y0 + y * s) * image.width + x0 + x * s) * 4;
      const got = screen.slice(first, first + 3).join();
      if (got !== want) different++;
      for (let j = 0; j < s; j++)
        for (let i = 0; i < s; i++) {
          const at = ((y0 + y * s + j) * image.width + x0 + x * s + i) * 4;
          if (screen.slice(at, at + 3).join() !== got) uneven++;
        }
    }
  done({scale: s, area, canvas: [canvas.width, canvas.height], box: [box.left, box.top, box.right, box.bottom],
        view: [innerWidth, innerHeight], scroll: [document.documentElement.scrollWidth,
        document.documentElement.scrollHeight], uneven, different, shot: [image.width, image.height]});
});
"""


class Layout(PageCase):
    """The picture fits the page: the largest whole scale in device pixels,
    centred, smoothly shrunk where not even scale 1 fits, and points mapped
    through the same transform."""

    def test_sizes_and_device_scales(self):
        self.start()
        self.keys("A", "B", Keys.ENTER)
        # Each case a new size: headless Chromium tells no change of the ratio alone.
        for ratio in (1, 1.25, 1.5, 2):
            for width, height in ((500, 300), (1280, 720), (1920, 1080)):
                with self.subTest(size=(width, height), ratio=ratio):
                    self.browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                        "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})
                    time.sleep(0.3)
                    shot = self.browser.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})["data"]
                    seen = self.browser.execute_async_script(COMPARE_SCREEN, shot)
                    box, view, area = seen["box"], seen["view"], seen["area"]
                    # Nothing cut off, nothing to scroll.
                    self.assertLessEqual(seen["scroll"], view, seen)
                    self.assertGreaterEqual(min(box[:2]), 0, seen)
                    self.assertLessEqual(box[2], view[0] + 0.01, seen)
                    self.assertLessEqual(box[3], view[1] + 0.01, seen)
                    room = seen["canvas"]
                    scale = seen["scale"]
                    if room == [632, 424] and (box[2] - box[0]) * ratio < 631:
                        scale = None  # shrunk: not even scale 1 fits
                    else:
                        self.assertEqual(scale, max(1, min(room[0] // 632, room[1] // 424)), seen)
                        self.assertEqual((seen["uneven"], seen["different"]), (0, 0), seen)
                        self.assertLessEqual(abs(area[0] - (room[0] - area[2])), 1, seen)
                        self.assertLessEqual(abs(area[1] - (room[1] - area[3])), 1, seen)
                    # The pointer over game pixel (300, 220) is there for the game.
                    css = (room[0] / (box[2] - box[0])) if scale is None else ratio
                    s = 1 if scale is None else scale
                    x = box[0] + (area[0] + 300 * s + s / 2) / css
                    y = box[1] + (area[1] + 220 * s + s / 2) / css
                    ActionChains(self.browser).move_by_offset(0, 0).perform()
                    self.browser.execute_cdp_cmd("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})
                    state = self.state()
                    self.assertEqual((state["pointerX"], state["pointerY"]), (300, 220), seen)


class Phone(PageCase):
    """A phone in Chromium's mobile emulation, played by touch from the name
    to a served ball."""

    def cdp(self, command, **params):
        return self.browser.execute_cdp_cmd(command, params)

    def touch(self, kind, point=None):
        self.cdp("Input.dispatchTouchEvent", type=kind, touchPoints=[{"x": point[0], "y": point[1]}] if point else [])

    def tap(self, point):
        self.touch("touchStart", point)
        self.touch("touchEnd")

    def key(self, name, code):
        for kind in ("rawKeyDown", "keyUp"):
            self.cdp("Input.dispatchKeyEvent", type=kind, key=name, code=name, windowsVirtualKeyCode=code)

    def at(self, x, y):
        """Where game pixel (x, y) is on the page, in CSS pixels."""
        return self.browser.execute_script("""
            const canvas = document.getElementById('game'), box = canvas.getBoundingClientRect();
            const css = box.width / canvas.width, area = window.vantrelPictureArea(), s = (area[2] - area[0]) / 632;
            return [box.left + (area[0] + (arguments[0] + 0.5) * s) * css,
                    box.top + (area[1] + (arguments[1] + 0.5) * s) * css];""", x, y)

    def centre(self, element):
        r = element.rect
        return (r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)

    def test_a_finger_plays_from_the_name_to_a_served_ball(self):
        self.cdp("Emulation.setDeviceMetricsOverride", width=412, height=915, deviceScaleFactor=2.625, mobile=True)
        self.cdp("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        self.start()
        # The whole picture at the phone's width, the page not zoomed out to hold it.
        seen = self.browser.execute_script("""
            const box = document.getElementById('game').getBoundingClientRect();
            return [box.left, box.right, innerWidth, visualViewport.scale];""")
        self.assertGreaterEqual(seen[0], 0, seen)
        self.assertLessEqual(seen[1], seen[2] + 0.01, seen)
        self.assertEqual(seen[2:], [412, 1], seen)
        # A tap on the name prompt brings up the keyboard: the name box takes
        # the keys, and an on-screen keyboard's text arrives as the game's keys.
        self.tap(self.at(500, 40))
        self.wait_for("document.activeElement.id == 'name'")
        for text in ("A", "b", "X"):
            self.cdp("Input.insertText", text=text)
        self.key("Backspace", 8)
        self.assertEqual(self.state()["typedName"], "AB")
        self.key("Enter", 13)
        self.wait_for("window.vantrelState().gameState == 40")
        self.assertEqual(self.browser.execute_script("return document.activeElement.id"), "game")
        # The bat follows the finger in the bat zone; lifted there, it serves.
        self.touch("touchStart", self.at(100, 260))
        left = self.state()["batX"]
        for x in range(110, 310, 20):
            self.touch("touchMove", self.at(x, 260))
        state = self.state()
        self.assertGreater(state["batX"], left + 150, state)
        self.assertEqual(state["gameState"], 40)
        self.touch("touchEnd")
        self.wait_for("window.vantrelState().gameState == 41")
        # A sideways swipe across the game moves the bat and leaves the page as it was.
        address = self.browser.current_url
        self.touch("touchStart", self.at(380, 300))
        for x in range(360, 0, -40):
            self.touch("touchMove", self.at(x, 300))
        self.touch("touchEnd")
        self.assertLess(self.state()["batX"], 100)
        self.assertEqual(self.browser.current_url, address)
        self.assertEqual(self.browser.execute_script("return [scrollX, scrollY, visualViewport.scale]"), [0, 0, 1])
        # Taps choose menu items.
        self.tap(self.centre(self.browser.find_element(By.XPATH, "//span[normalize-space()='Speed']")))
        self.tap(self.centre(self.browser.find_element(By.XPATH, "//li[normalize-space()='Fast']")))
        self.wait_for("window.vantrelState().speedFactor == 1.5")


class Messages(PageCase):
    """What the page says where it cannot do what the player asked."""

    def test_a_page_opened_as_a_file_says_it_must_be_served(self):
        self.browser.get("file://" + os.path.join(self.site, "index.html"))
        text = self.wait_for("!message.hidden && message.textContent")
        self.assertIn("web server", text)
        self.assertIn("python3 -m http.server -d build-web/site", text)
        self.assertTrue(self.browser.find_element(By.ID, "message").is_displayed())
        self.assertFalse(self.browser.find_element(By.ID, "window").is_displayed())  # no blank game

    def test_a_missing_help_page_gets_the_game_s_message(self):
        help_folder = os.path.join(self.site, "help")
        kept = os.path.join(self.work, "levels.html")
        shutil.move(os.path.join(help_folder, "levels.html"), kept)
        try:
            self.start()
            self.browser.find_element(By.XPATH, "//span[normalize-space()='Help']").click()
            self.browser.find_element(By.XPATH, "//li[normalize-space()='Find']").click()
            self.browser.switch_to.frame("help-frame")
            self.browser.find_element(By.XPATH, "//a[@href='levels.html']").click()
            text = ""
            for _ in range(50):
                text = self.browser.find_element(By.TAG_NAME, "body").text
                if "missing" in text:
                    break
                time.sleep(0.1)
            self.assertIn("The help page /help/levels.html is missing", text)
            self.assertNotIn("Error response", text)
        finally:
            shutil.move(kept, os.path.join(help_folder, "levels.html"))


class Focus(PageCase):
    """Keys meant for the game reach it once the player is back on it."""

    def typed(self):
        return self.state()["typedName"]

    def test_keys_reach_the_game_after_the_table_s_buttons_and_the_help(self):
        self.start()
        self.browser.execute_script("""window.downloads = 0;
            const made = URL.createObjectURL;
            URL.createObjectURL = (blob) => (downloads++, made(blob));""")
        self.keys("A")
        # Download pressed (no table yet: a notice); then keys are the game's again.
        self.browser.find_element(By.ID, "download").click()
        self.keys("B", Keys.SPACE)
        self.assertEqual(self.typed(), "AB")
        # The help's link followed, the game clicked: keys go to the game, not the help.
        self.browser.find_element(By.XPATH, "//span[normalize-space()='Help']").click()
        self.browser.find_element(By.XPATH, "//li[normalize-space()='Find']").click()
        self.browser.switch_to.frame("help-frame")
        self.browser.find_element(By.XPATH, "//a[@href='controls.html']").click()
        self.browser.switch_to.default_content()
        ActionChains(self.browser).move_to_element_with_offset(
            self.browser.find_element(By.ID, "game"), 0, -150).click().perform()
        self.keys("C")
        self.assertEqual(self.typed(), "ABC")
        # Help closed by its button: the keys go back to the game at once.
        self.browser.find_element(By.ID, "help-close").click()
        self.keys("D", Keys.ENTER)
        self.wait_for("window.vantrelState().gameState == 40")
        # A table now (the high-score view writes it): Download gives it
        # once, and Enter and Space afterwards are the game's.
        self.keys((Keys.ALT, "v"), "h")
        self.wait_for("window.vantrelState().gameState == 46")
        self.browser.find_element(By.ID, "download").click()
        self.keys(Keys.ENTER, Keys.SPACE)
        self.assertEqual(self.browser.execute_script("return [downloads, document.activeElement.id]"), [1, "game"])


class Upload(PageCase):
    """An uploaded file never wipes the table: one that is not a table is
    refused, one that is shows what it holds and waits for the player."""

    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(dir=self.work)
        self.serve("ab.vsim", short_game("AB"))
        self.browser.get(self.url + "?play=ab.vsim")
        self.wait_for("window.vantrelOutput.length")
        self.mine = self.table()
        self.assertIn(b"AB ", self.mine)

    def stored(self):
        """The tab's table once its stores have ended."""
        self.wait_for("pendingSyncs == 0")
        return bytes(self.browser.execute_script(
            "try { return Array.from(Module.FS.readFile('/scores/hiscore.txt')) } catch (e) { return [] }"))

    def upload(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(data)
        self.browser.execute_script("notice.textContent = ''")
        self.browser.find_element(By.ID, "upload").send_keys(path)

    def notice(self):
        return self.wait_for("notice.textContent")

    def test_a_file_that_is_not_a_table_is_refused_and_the_table_kept(self):
        with open(os.path.join(SITE, "icons", "vantrel-64.png"), "rb") as f:
            png = f.read()
        line = b"ABCDEFGH 123456 7890\r\n"
        cases = [
            ("empty.txt", b"", "it is empty"),
            ("words.txt", b"Dear diary,\nno scores today.\n", "it has no line of a table"),
            ("binary.txt", bytes(range(256)) * 4, "it is not a text file"),
            ("picture.png", png, "it is not a text file"),
            ("huge.txt", line * (60 * 1024 * 1024 // len(line)), "it is larger than any table can be"),
        ]
        for name, data, reason in cases:
            with self.subTest(name):
                self.upload(name, data)
                self.assertIn(f'"{name}" was not put in place: {reason}', self.notice())
                self.assertIn("unchanged", self.notice())
                self.assertFalse(self.browser.execute_script("return document.getElementById('upload-check').open"))
                self.assertEqual(self.stored(), self.mine)
        self.assertEqual(self.table(), self.mine)

    def test_a_table_is_shown_and_replaces_only_when_asked_and_can_be_undone(self):
        _, theirs = linux_sim(self.folder, short_game("CD"))
        # The second line edited by hand: the game shows it as a Cheater.
        lines = theirs.split(b"\r\n")
        name, score, check = lines[1].split()
        lines[1] = b"  ".join((name, str(int(score) + 1).encode(), check))
        theirs = b"\r\n".join(lines)
        shown = lambda: self.browser.execute_script(
            "return Array.from(document.querySelectorAll('#upload-entries li'), (li) => li.textContent)")
        self.upload("theirs.txt", theirs)
        self.wait_for("document.getElementById('upload-check').open")
        entries = shown()
        self.assertEqual(len(entries), 10)
        self.assertTrue(entries[0].startswith("CD "), entries)
        self.assertTrue(entries[1].startswith("Cheater "), entries)
        self.browser.find_element(By.ID, "upload-keep").click()
        self.assertIn("unchanged", self.notice())
        self.assertEqual(self.stored(), self.mine)
        self.upload("theirs.txt", theirs)
        self.wait_for("document.getElementById('upload-check').open")
        self.browser.find_element(By.ID, "upload-replace").click()
        self.assertIn("Undo upload", self.notice())
        self.assertEqual(self.stored(), theirs)
        self.browser.find_element(By.ID, "undo-upload").click()
        self.wait_for_true(lambda: self.stored() == self.mine)
        self.assertEqual(self.table(), self.mine)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)  # then unittest's own, such as -k
