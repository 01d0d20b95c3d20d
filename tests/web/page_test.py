"""Usage: python3 tests/web/page_test.py build-web/index.html

Uses the page in Debian's headless Chromium as a person would, through the DevTools protocol:
opens it from disk, looks at the canvas, presses keys and drags the mouse with the browser's own
input events, compares screenshots, ends the program with Esc, and then opens the page once more
from a static web server on 127.0.0.1, and once in a browser without WebGL. Every wait is for a
condition, with a deadline. Fails on any console error, uncaught exception or failed load."""

import collections
import functools
import http.server
import os
import pathlib
import random
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser  # noqa: E402
from harness import BLUE, GREEN, RED, Page, check, check_console, has_all_colours, run_test, step  # noqa: E402

def box_width(image, colour):
    xs = [x for y in range(image.height) for x in range(image.width) if image.pixel(x, y) == colour]
    return max(xs) - min(xs) + 1 if xs else 0


def line_width(image, colour):
    """The most common width of the lines of one colour: for each of its pixels, the shorter of
    its horizontal and vertical runs, which is the width across the line for both x- and y-major
    lines; the mode over all pixels ignores corners and crossings."""
    w, h = image.width, image.height
    on = [[image.pixel(x, y) == colour for x in range(w)] for y in range(h)]
    across = collections.Counter()
    for y in range(h):
        for x in range(w):
            if not on[y][x]:
                continue
            left = right = x
            while left > 0 and on[y][left - 1]:
                left -= 1
            while right < w - 1 and on[y][right + 1]:
                right += 1
            top = bottom = y
            while top > 0 and on[top - 1][x]:
                top -= 1
            while bottom < h - 1 and on[bottom + 1][x]:
                bottom += 1
            across[min(right - left + 1, bottom - top + 1)] += 1
    return across.most_common(1)[0][0] if across else 0


def colour_along(image, end, colour):
    """How many of seven points along the segment from the canvas centre to end have colour;
    a point counts when it or a pixel next to it has it, as a line may fall between pixels."""
    cx, cy = 128, 128
    hits = 0
    for i in range(7):
        t = 0.3 + 0.1 * i
        x, y = round(cx + t * (end[0] - cx)), round(cy + t * (end[1] - cy))
        near = [image.pixel(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
        hits += colour in near
    return hits


def storm(browser, page, events=400, seed=20261210):
    """Random input, but never Esc: keys that switch, pause or do nothing, and mouse buttons
    pressed and released in any order, anywhere on the page and beyond the canvas."""
    chance = random.Random(seed)
    names = ["space", "backslash", "a", "Z", "q", "1", "/", "Enter", "Tab"]
    held = {"left": False, "middle": False, "right": False}
    mask = {"left": 1, "right": 2, "middle": 4}
    for _ in range(events):
        x = page.box[0] + chance.uniform(-100, 400)
        y = page.box[1] + chance.uniform(-100, 400)
        buttons = sum(mask[b] for b, down in held.items() if down)
        kind = chance.random()
        if kind < 0.3:
            page.key(chance.choice(names))
        elif kind < 0.7:
            browser.mouse("mouseMoved", x, y, buttons=buttons)
        else:
            button = chance.choice(list(held))
            down = chance.random() < 0.5
            held[button] = down
            buttons = sum(mask[b] for b, d in held.items() if d)
            browser.mouse("mousePressed" if down else "mouseReleased", x, y, button, buttons)
    for button, down in held.items():
        if down:
            browser.mouse("mouseReleased", page.box[0] + 128, page.box[1] + 128, button, 0)
    browser.evaluate("window.scrollTo(0, 0)")


def run_from_disk(browser, page_path):
    url = pathlib.Path(page_path).resolve().as_uri()
    step("open " + url)
    page = Page(browser, url)
    check(browser.evaluate("document.title") == "Orlavane", "the page is not titled Orlavane")
    check(page.box[2:] == [256, 256], f"the canvas is {page.box[2]} x {page.box[3]}, not 256 x 256")
    legend = browser.evaluate("document.body.innerText")
    for words in ("backslash", "left-button drag", "Esc", "thick blue", "the cube from -1 to 1"):
        check(words in legend, f"the page does not say '{words}'")

    step("the world view draws red, green and blue and moves by itself")
    first = page.wait_until(lambda: (lambda s: s if has_all_colours(s) else None)(page.shot()),
                            what="red, green and blue in the canvas")
    page.changes_from(first, "the picture to change by itself")
    heap = browser.evaluate("[Module._orlavaneHeapInUse(), Module.orlavaneGlut.framesShown]")
    # The WebAssembly is inside the page, as a data: URL, which Chromium also reports.
    requests = [r["request"]["url"][:100] for r in browser.requests() if not r["request"]["url"].startswith("data:")]
    check(len(requests) == 1, f"the page loaded more than itself: {requests}")

    step("backslash freezes the picture")
    page.key("backslash")
    paused = page.still()
    time.sleep(0.5)
    check(page.shot() == paused, "the paused picture changed")
    check(has_all_colours(paused), "the paused world view lacks red, green or blue")

    step("the clipped outline is 3 px wide, the other lines 1 px")
    check(line_width(paused, BLUE) == 3, f"the blue outline is {line_width(paused, BLUE)} px wide, not 3")
    check(line_width(paused, RED) == 1, f"red lines are {line_width(paused, RED)} px wide, not 1")
    check(line_width(paused, GREEN) == 1, f"green lines are {line_width(paused, GREEN)} px wide, not 1")

    step("space shows the clip-space view with the cube, and space again the same world view")
    page.key("space")
    clip = page.changes_from(paused, "the view to switch")
    clip = page.still()
    check(box_width(clip, GREEN) > box_width(paused, GREEN),
          f"the cube ({box_width(clip, GREEN)} px) is not wider than the frustum ({box_width(paused, GREEN)} px)")
    page.key("space")
    page.wait_until(lambda: page.shot() == paused, what="the identical world view after space again")
    check(browser.evaluate("window.scrollY") == 0, "space scrolled the page")

    step("other keys and right or middle drags change nothing; a right click opens no menu")
    browser.evaluate("window.menuAllowed = null; document.addEventListener('contextmenu',"
                     " e => { window.menuAllowed = !e.defaultPrevented; })")
    # (Not F1: that is the browser's key for its help, which opens in a tab of its own.)
    for name in ("a", "Z", "q", "Q", "1", "/", "Enter", "Tab", "ArrowLeft"):
        page.key(name)
    page.drag("right", 60, 40)
    page.drag("middle", -50, 30)
    time.sleep(0.5)
    check(page.shot() == paused, "a key or a right or middle drag changed the picture")
    check(browser.evaluate("window.menuAllowed") is False, "a right click on the canvas was not kept from the menu")

    step("a left drag turns the camera while paused; each axis shows in its own colour")
    page.drag("left", 0, 64)  # a quarter of the height down: the scene pitches 45 degrees
    page.changes_from(paused, "a left drag to turn the view")
    turned = page.still()
    # With the pitch, x points right (60 px), y up and z down (46 px each) from the centre.
    for name, end, colour in (("x", (188, 128), RED), ("y", (128, 82), GREEN), ("z", (128, 174), BLUE)):
        hits = colour_along(turned, end, colour)
        check(hits >= 5, f"the {name} axis shows its colour at {hits} of 7 points along it")

    step("backslash again resumes the motion")
    page.key("backslash")
    page.changes_from(turned, "the motion to resume")

    step("a storm of keys, buttons pressed and released out of order, and drags leaves it running")
    storm(browser, page)
    frames = browser.evaluate("Module.orlavaneGlut.framesShown")
    page.wait_until(lambda: browser.evaluate("Module.orlavaneGlut.framesShown") > frames + 10, what="frames after the storm")
    check("ended" not in page.status(), "the storm ended the program")

    step("the frames, the views and the input left the heap as it was (no leak)")
    page.wait_until(lambda: browser.evaluate("Module.orlavaneGlut.framesShown") > heap[1] + 100, what="100 more frames")
    now = browser.evaluate("Module._orlavaneHeapInUse()")
    check(now == heap[0], f"the heap in use went from {heap[0]} to {now} bytes")

    step("Esc ends the program: the page says so, and nothing moves or reacts after")
    page.key("Escape")
    page.wait_until(lambda: "ended with status 0" in page.status(), what="the page to say the program ended")
    ended = page.still()
    time.sleep(0.5)
    page.key("space")
    page.key("backslash")
    page.drag("left", 80, 0)
    time.sleep(0.5)
    # The page itself may scroll on space now, as any page does: look at the canvas where it was.
    browser.evaluate("window.scrollTo(0, 0)")
    check(page.shot() == ended, "the picture changed after Esc")
    check("start it again" in page.status(), "the page does not say how to start the program again")

    check_console(browser)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def run_from_server(browser, page_path):
    folder = os.path.dirname(os.path.abspath(page_path))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        url = f"http://127.0.0.1:{server.server_address[1]}/{os.path.basename(page_path)}"
        step("open " + url)
        page = Page(browser, url)
        page.wait_until(lambda: has_all_colours(page.shot()), what="red, green and blue from the server")
        check_console(browser)
    finally:
        server.shutdown()


def run_without_webgl(page_path):
    step("a browser without WebGL: the page says why the program cannot run, with no exception")
    with Browser(extra_flags=["--disable-webgl"]) as browser:
        page = Page(browser, pathlib.Path(page_path).resolve().as_uri())
        page.wait_until(lambda: "ended with status 1" in page.status(), what="the page to say the program ended")
        check("no WebGL context" in page.status(), f"the page says: {page.status()}")
        check_console(browser)


def run_all(page_path):
    with Browser() as browser:
        run_from_disk(browser, page_path)
    with Browser() as browser:
        run_from_server(browser, page_path)
    run_without_webgl(page_path)


if __name__ == "__main__":
    sys.exit(run_test(__doc__, sys.argv, run_all))
