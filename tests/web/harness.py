"""What the page's tests share: the program's page in a browser, with the canvas as the window,
the checks and steps of a test, and a main that runs one and reports PASS or FAIL."""

import os
import sys
import time
import traceback

RED, GREEN, BLUE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)
# Small enough that the page scrolls, so that a space that scrolled it would show.
VIEW_WIDTH, VIEW_HEIGHT = 900, 480

KEYS = {  # key, code, keyCode, text
    "space": (" ", "Space", 32, " "),
    "backslash": ("\\", "Backslash", 220, "\\"),
    "Escape": ("Escape", "Escape", 27, None),
    "a": ("a", "KeyA", 65, "a"), "Z": ("Z", "KeyZ", 90, "Z"), "q": ("q", "KeyQ", 81, "q"),
    "Q": ("Q", "KeyQ", 81, "Q"), "1": ("1", "Digit1", 49, "1"), "/": ("/", "Slash", 191, "/"),
    "Enter": ("Enter", "Enter", 13, "\r"), "Tab": ("Tab", "Tab", 9, None),
    "ArrowLeft": ("ArrowLeft", "ArrowLeft", 37, None),
}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def step(text):
    print("--", text, flush=True)


def check_console(browser):
    problems = browser.problems()
    check(not problems, "the console reported: " + "; ".join(problems))


def run_test(doc, arguments, body):
    """Runs body(*arguments[1:]), the first being the page's path; prints PASS, or FAIL and why."""
    if len(arguments) < 2:
        print(doc)
        return 2
    if not os.path.exists(arguments[1]):
        print(f"FAIL: {arguments[1]} does not exist; tools/web.sh builds it")
        return 1
    try:
        body(*arguments[1:])
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    except TimeoutError as failure:
        print("FAIL:", failure)
        traceback.print_exc(limit=-4, file=sys.stdout)
        return 1
    print("PASS")
    return 0


class Page:
    """The program's page in the browser, with the canvas as the window."""

    def __init__(self, browser, url):
        self.browser = browser
        browser.open(url, VIEW_WIDTH, VIEW_HEIGHT)
        browser.wait_for("document.readyState == 'complete'")
        self.box = browser.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.left, r.top, r.width, r.height]; })()")

    def shot(self):
        return self.browser.screenshot(*self.box)

    def key(self, name):
        self.browser.key(*KEYS[name])

    def drag(self, button, dx, dy):
        x, y = self.box[0] + 128, self.box[1] + 128
        self.browser.drag(button, x, y, dx, dy)

    def status(self):
        return self.browser.evaluate("document.getElementById('status').textContent")

    def wait_until(self, condition, timeout=10, what="the picture"):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = condition()
            if result:
                return result
            time.sleep(0.05)
        raise Failure(f"waited {timeout} s for {what}")

    def changes_from(self, before, what):
        return self.wait_until(lambda: (lambda now: now if now != before else None)(self.shot()), what=what)

    def still(self):
        """Waits until two screenshots a moment apart are identical and returns the last."""
        def two_alike():
            a = self.shot()
            time.sleep(0.2)
            b = self.shot()
            return b if a == b else None
        return self.wait_until(two_alike, what="the picture to stand still")


def has_all_colours(image):
    return all(image.count(c) > 20 for c in (RED, GREEN, BLUE))
