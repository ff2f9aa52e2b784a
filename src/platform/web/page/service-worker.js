// Keeps the page's files so the game also starts offline. A file is fetched
// afresh when the network answers, and taken from the cache when it does not.
const cacheName = "vantrel-1";
const files = ["./", "index.html", "page.js", "page.css", "vantrel.js", "vantrel.wasm", "manifest.webmanifest",
  "icons/vantrel-64.png", "icons/vantrel-128.png", "icons/vantrel-256.png", "help/index.html", "help/controls.html",
  "help/highscores.html", "help/levels.html", "help/playing.html", "help/scoring.html", "help/starting.html",
  "help/browser.html"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(files)));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(fetch(event.request).then((response) => {
    const copy = response.clone();
    if (response.ok) caches.open(cacheName).then((cache) => cache.put(event.request, copy));
    return response;
  }).catch(() => caches.match(event.request, {ignoreSearch: true})));
});
