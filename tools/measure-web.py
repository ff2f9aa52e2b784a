#!/usr/bin/python3
"""Figures of the web build: file sizes raw and gzipped, page load to first
frame in headless Chromium, and processor time while a ball is in play, the
page's (every Chromium process) beside the Qt window's (under Xvfb when
xvfb-run is there), in one run.

  tools/measure-web.py [BUILD_WEB_SITE [LINUX_BIN]]   (defaults build-web/site, build/bin)
"""
import functools
import gzip
import http.server
import os
import shutil
import signal
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
BALL_IN_PLAY = f"type ABC\nkey 13\nmove 200 250\nclick 200 250\ntick {SECONDS * 100}\n"


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


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    for name in ("vantrel.wasm", "vantrel.js", "page.js"):
        data = open(os.path.join(SITE, name), "rb").read()
        print(f"{name:14} {len(data):7} bytes, {len(gzip.compress(data, 9)):6} gzipped")
    work = tempfile.mkdtemp(prefix="vantrel-measure-")
    with open(os.path.join(SITE, "measure.vsim"), "w") as f:
        f.write(BALL_IN_PLAY)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + work]:
        options.add_argument(flag)
    service = Service("/usr/bin/chromedriver")
    browser = webdriver.Chrome(service=service, options=options)
    try:
        loads = []
        for _ in range(3):
            browser.get(url)
            while not browser.execute_script("return window.vantrelStarted"):
                time.sleep(0.05)
            loads.append(browser.execute_script("return window.vantrelStarted"))
        print("page load to first frame: " + ", ".join(f"{ms:.0f} ms" for ms in loads))
        browser.get(url + "?play=measure.vsim")
        time.sleep(1)
        before, start = tree_cpu(service.process.pid), time.time()
        time.sleep(SECONDS - 2)
        used, took = tree_cpu(service.process.pid) - before, time.time() - start
        print(f"page, ball in play:  {100 * used / took:.1f}% of one core (all Chromium processes)")
    finally:
        browser.quit()
        server.shutdown()
        os.remove(os.path.join(SITE, "measure.vsim"))
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
    time.sleep(1)
    before, start = tree_cpu(os.getpid()), time.time()
    time.sleep(SECONDS - 2)
    used, took = tree_cpu(os.getpid()) - before, time.time() - start
    os.killpg(window.pid, signal.SIGTERM)
    window.wait()
    where = "under Xvfb, the X server included" if xvfb else "offscreen"
    print(f"Qt window ({where}), ball in play: {100 * used / took:.1f}% of one core")


if __name__ == "__main__":
    main()
