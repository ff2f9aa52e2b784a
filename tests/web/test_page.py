"""The page in headless Chromium against the Linux build, from a server on
127.0.0.1: a played script ends with the Linux state line and a canvas whose
field is the Linux window's pixel for pixel; the table survives a reload and
two tabs playing at once both keep their scores.

  test_page.py SITE LINUX_BIN    (SITE: build-web/site, LINUX_BIN: build/bin)
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


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="vantrel-page-")
        cls.site = os.path.join(cls.work, "site")
        shutil.copytree(SITE, cls.site)
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

    def output(self):
        return "".join(line + "\n" for line in self.browser.execute_script("return window.vantrelOutput"))

    def table(self):
        """The table as a fresh load of the page finds it."""
        self.browser.get(self.url)
        self.wait_for("window.vantrelStarted")
        return bytes(self.browser.execute_script(
            "try { return Array.from(Module.FS.readFile('/scores/hiscore.txt')) } catch (e) { return [] }"))

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
        canvas = self.browser.execute_script("return document.getElementById('game').toDataURL('image/png')")
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

    def test_two_tabs_keep_both_scores(self):
        _, table = linux_sim(tempfile.mkdtemp(dir=self.work), short_game("AB"), short_game("CD"))
        self.serve("ab.vsim", short_game("AB"))
        self.serve("cd.vsim", short_game("CD"))
        first = self.browser.current_window_handle
        self.browser.get(self.url + "?play=ab.vsim")
        self.wait_for("window.vantrelStarted")
        time.sleep(2)  # the second tab reads the table before the first saves
        self.browser.switch_to.new_window("window")
        second = self.browser.current_window_handle
        self.browser.get(self.url + "?play=cd.vsim")
        for handle in (first, second):
            self.browser.switch_to.window(handle)
            self.wait_for("window.vantrelOutput.length")
        self.browser.close()
        self.browser.switch_to.window(first)
        self.assertEqual(self.table(), table)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
