#!/usr/bin/python3
"""Figures of the web build: file sizes raw and gzipped, page load to first
frame in headless Chromium (cold: a fresh browser and profile each time; warm:
loaded again in the same browser), and processor time while a ball is in
play, the page's (every Chromium process) beside the Qt window's (under Xvfb
when xvfb-run is there), in one run. Beside them, the processor time of a
page that does nothing but ask for every display frame: what the browser
itself spends on a page whose clock is the display's frames. The machine's
load average is printed with the figures, since a busy machine slows them.

  tools/measure-web.py [BUILD_WEB_SITE [LINUX_BIN]]   (defaults build-web/site, build/bin)
"""
import functools
import gzip
import http.server
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SITE = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-web/site")
LINUX = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "build/bin")
SECONDS = 10
COLD_LOADS = 5
BALL_IN_PLAY = f"type ABC\nkey 13\nmove 200 250\nclick 200 250\ntick {SECONDS * 100}\n"
FRAMES_ONLY = "<!DOCTYPE html><script>requestAnimationFrame(function f() { requestAnimationFrame(f); });</script>\n"


def tree_cpu(root):
    """User and system seconds of a process and all its descendants, alive now."""
    children = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append((int(pid), int(fields[11]) + int(fields[12])))
        except OSError:
            pass
    total, todo = 0, [root]
    while todo:
        for pid, ticks in children.get(todo.pop(), []):
            total += ticks
            todo.append(pid)
    return total / os.sysconf("SC_CLK_TCK")


def busy(root):
    """Percent of one core that root's tree uses over the measured seconds, a
    second after it started."""
    time.sleep(1)
    before, start = tree_cpu(root), time.time()
    time.sleep(SECONDS - 2)
    return 100 * (tree_cpu(root) - before) / (time.time() - start)


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Browser:
    """Headless Chromium with a fresh profile."""

    def __init__(self, work):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + tempfile.mkdtemp(dir=work)]:
            options.add_argument(flag)
        self.service = Service("/usr/bin/chromedriver")
        self.driver = webdriver.Chrome(service=self.service, options=options)

    def first_frame(self, url):
        """Milliseconds from navigation start to the game's first frame."""
        self.driver.get(url)
        end = time.time() + 60
        while not self.driver.execute_script("return window.vantrelStarted"):
            if time.time() > end:
                message = self.driver.execute_script("return document.getElementById('message').textContent")
                sys.exit(f"measure-web: no first frame in 60 s; the page says: {message!r}")
            time.sleep(0.02)
        return self.driver.execute_script("return window.vantrelStarted")

    def busy(self, url):
        self.driver.get(url)
        return busy(self.service.process.pid)

    def quit(self):
        self.driver.quit()


def page_figures(work):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    added = {"measure.vsim": BALL_IN_PLAY, "frames-only.html": FRAMES_ONLY}
    for name, text in added.items():
        with open(os.path.join(SITE, name), "w") as f:
            f.write(text)
    try:
        cold = []
        for _ in range(COLD_LOADS):
            browser = Browser(work)
            try:
                cold.append(browser.first_frame(url + "index.html"))
            finally:
                browser.quit()
        browser = Browser(work)
        try:
            warm = [browser.first_frame(url + "index.html") for _ in range(2)]
            play = browser.busy(url + "index.html?play=measure.vsim")
            frames = browser.busy(url + "frames-only.html")
        finally:
            browser.quit()
    finally:
        server.shutdown()
        for name in added:
            os.remove(os.path.join(SITE, name))
    listed = ", ".join(f"{ms:.0f}" for ms in cold)
    print(f"page load to first frame, cold: median {statistics.median(cold):.0f} ms ({listed}); "
          f"warm: {', '.join(f'{ms:.0f}' for ms in warm)} ms")
    print(f"page, ball in play:  {play:.1f}% of one core (all Chromium processes)")
    print(f"page asking for every display frame and doing nothing: {frames:.1f}% of one core")


def window_figure(work):
    script = os.path.join(work, "measure.vsim")
    with open(script, "w") as f:
        f.write(BALL_IN_PLAY)
    # On an X server of its own where there is one, as a player's window
    # is: the server's processor time counts with the window's.
    xvfb = shutil.which("xvfb-run")
    command = [os.path.join(LINUX, "vantrel"), "--play", script, "--hiscore", os.path.join(work, "h")]
    window = subprocess.Popen(["xvfb-run", "-a"] + command if xvfb else command,
                              env=dict(os.environ, QT_QPA_PLATFORM="xcb" if xvfb else "offscreen"),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    used = busy(os.getpid())
    os.killpg(window.pid, signal.SIGTERM)
    window.wait()
    where = "under Xvfb, the X server included" if xvfb else "offscreen"
    print(f"Qt window ({where}), ball in play: {used:.1f}% of one core")


def main():
    for name in ("vantrel.wasm", "vantrel.js", "page.js"):
        data = open(os.path.join(SITE, name), "rb").read()
        print(f"{name:14} {len(data):7} bytes, {len(gzip.compress(data, 9)):6} gzipped")
    print("load average before: {:.2f} {:.2f} {:.2f}".format(*os.getloadavg()))
    work = tempfile.mkdtemp(prefix="vantrel-measure-")
    try:
        page_figures(work)
        window_figure(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("load average after: {:.2f} {:.2f} {:.2f}".format(*os.getloadavg()))


if __name__ == "__main__":
    main()
