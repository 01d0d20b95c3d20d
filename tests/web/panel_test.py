"""Usage: python3 tests/web/panel_test.py build-web/index.html

The panel of the clipper's passes on the page, in Debian's headless Chromium: its seven diagrams
follow the frames while the square moves and hold still while paused; its final polygon is, bit
for bit, the polygon clipPolygon gives for the frame, and its vertices land on the blue outline's
pixels in both views; a square wholly outside empties it and leaves the canvas without blue; the
button hides and shows it; and nothing reaches the console."""

import math
import os
import pathlib
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser  # noqa: E402
from harness import BLUE, Page, check, check_console, has_all_colours, run_test, step  # noqa: E402

PLANES = ["left", "right", "bottom", "top", "near", "far"]
# The program's camera: 30 degrees, aspect 1, eye at (0, 0, 8) looking at the origin, no turn.
COT_15 = 1 / math.tan(math.radians(15))
FRUSTUM = (-0.25, 0.25, -0.25, 0.25, 0.25, 1.0)


def captions(browser):
    return browser.evaluate("[...document.querySelectorAll('#panel figcaption')].map(c => c.textContent)")


def panel_shot(browser):
    box = browser.evaluate("(() => { const r = document.querySelector('#panel .diagrams').getBoundingClientRect();"
                           " return [r.left, r.top, r.width, r.height]; })()")
    return browser.screenshot(*box)


def table_polygon(browser):
    """The final polygon as the panel's table holds it: the exact float bits of x, y, z, w."""
    rows = browser.evaluate("[...document.querySelectorAll('#clipped tbody tr')].map(r =>"
                            " [...r.querySelectorAll('td[data-bits]')].map(c => c.getAttribute('data-bits')))")
    return [tuple(int(bits, 16) for bits in row) for row in rows]


def clip_polygon_of_frame(browser):
    """What clipPolygon returns for this frame's clip-space vertices, as float bits."""
    flat = browser.evaluate("(() => { const at = Module._orlavaneClipFrame() >> 2, h = Module.HEAPF32;"
                            " return Array.from(h.subarray(at, at + 1 + 4 * h[at])); })()")
    count = int(flat[0])
    bits = [struct.unpack(">I", struct.pack(">f", v))[0] for v in flat[1:]]
    return [tuple(bits[4 * i:4 * i + 4]) for i in range(count)]


def as_floats(polygon):
    return [tuple(struct.unpack(">f", struct.pack(">I", b))[0] for b in vertex) for vertex in polygon]


def frustum_inverse(l, r, b, t, n, f):
    """The inverse of glFrustum's matrix, as rows, in double."""
    return [[(r - l) / (2 * n), 0, 0, (r + l) / (2 * n)],
            [0, (t - b) / (2 * n), 0, (t + b) / (2 * n)],
            [0, 0, 0, -1],
            [0, 0, -(f - n) / (2 * f * n), (f + n) / (2 * f * n)]]


def window_pixel(point):
    """Where the camera puts a homogeneous scene point, in canvas pixels (y down)."""
    x, y, z, w = point
    depth = 8 * w - z  # minus the eye's z after the camera's translation by (0, 0, -8)
    return (x * COT_15 / depth + 1) * 128, (1 - y * COT_15 / depth) * 128


def lands_on_blue(image, pixel, reach=2):
    px, py = int(pixel[0]), int(pixel[1])
    return any(image.pixel(x, y) == BLUE
               for x in range(max(0, px - reach), min(image.width, px + reach + 1))
               for y in range(max(0, py - reach), min(image.height, py + reach + 1)))


def check_landing(page, polygon, view):
    image = page.still()
    if view == "world":
        inverse = frustum_inverse(*FRUSTUM)
        points = [tuple(sum(row[k] * v[k] for k in range(4)) for row in inverse) for v in polygon]
    else:  # drawn under the mirror of z
        points = [(x, y, -z, w) for x, y, z, w in polygon]
    for i, point in enumerate(points):
        pixel = window_pixel(point)
        check(lands_on_blue(image, pixel),
              f"{view} view: vertex {i} of the panel's polygon lands at {pixel[0]:.1f}, {pixel[1]:.1f}, off the blue outline")


def run(browser, page_path):
    url = pathlib.Path(page_path).resolve().as_uri()
    step("open " + url)
    page = Page(browser, url)
    page.wait_until(lambda: has_all_colours(page.shot()), what="the first frames")

    step("seven diagrams: the polygon entering the clipper, then the six passes by name")
    names = captions(browser)
    check(len(names) == 7, f"{len(names)} diagrams, not 7")
    check(names[0].startswith("entering:"), f"the first diagram is '{names[0]}'")
    for name, plane in zip(names[1:], PLANES):
        check(name.startswith(plane + ":") and "\u2192" in name, f"'{name}' is not the {plane} pass with counts in and out")

    step("while the square moves, the drawings and the counts change")
    first, first_names = panel_shot(browser), captions(browser)
    page.wait_until(lambda: panel_shot(browser) != first, what="the diagrams to change")
    page.wait_until(lambda: captions(browser) != first_names, timeout=20, what="the counts to change")

    step("while paused, the panel holds still")
    page.key("backslash")
    page.still()
    held, held_names = panel_shot(browser), captions(browser)
    time.sleep(0.5)
    check(panel_shot(browser) == held and captions(browser) == held_names, "the panel changed while paused")

    step("its final polygon is the frame's clipPolygon, bit for bit, and lies on the blue outline")
    polygon = table_polygon(browser)
    check(polygon, "the paused frame's final polygon is empty")
    check(polygon == clip_polygon_of_frame(browser), "the panel's final polygon differs from clipPolygon's")
    last_count = captions(browser)[-1].split("\u2192")[-1].strip()
    check(last_count == str(len(polygon)), f"the far pass says {last_count} vertices, the table has {len(polygon)}")
    check_landing(page, as_floats(polygon), "world")
    page.key("space")
    check_landing(page, as_floats(polygon), "clip-space")
    check(table_polygon(browser) == polygon, "the view switch changed the panel's polygon")

    step("a square wholly outside: 0 vertices after a pass, an empty final polygon, no blue")
    browser.evaluate("Module._orlavanePlaceSquare(0, 3, -0.5)")
    page.wait_until(lambda: not table_polygon(browser), what="the final polygon to empty")
    counts = [int(c.split("\u2192")[-1]) for c in captions(browser)[1:]]
    check(0 in counts, f"no pass ends with 0 vertices: {counts}")
    check(browser.evaluate("!document.querySelector('#panel .empty').hidden"), "the panel does not say it is empty")
    check(page.still().count(BLUE) == 0, "the clip-space view shows blue with the square wholly outside")

    step("the button hides the panel and shows it again; space does not press it, Enter on it does")
    button = browser.evaluate("(() => { const r = document.getElementById('panel-toggle').getBoundingClientRect();"
                              " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
    browser.mouse("mousePressed", *button, button="left", buttons=1)
    browser.mouse("mouseReleased", *button, button="left")
    page.wait_until(lambda: browser.evaluate("document.getElementById('panel').hidden"), what="the panel to hide")
    before = page.still()
    page.key("space")
    page.changes_from(before, "space to switch the view with the panel hidden")
    check(browser.evaluate("document.getElementById('panel').hidden"), "space pressed the button")
    browser.mouse("mousePressed", *button, button="left", buttons=1)
    browser.mouse("mouseReleased", *button, button="left")
    page.wait_until(lambda: not browser.evaluate("document.getElementById('panel').hidden"), what="the panel to show")
    browser.evaluate("document.getElementById('panel-toggle').focus()")
    before = page.still()
    page.key("space")  # the program's key, even with the button focused
    page.changes_from(before, "space to switch the view with the button focused")
    check(not browser.evaluate("document.getElementById('panel').hidden"), "space pressed the focused button")
    page.key("Enter")  # as a keyboard user reaches the button
    page.wait_until(lambda: browser.evaluate("document.getElementById('panel').hidden"), what="Enter to press the button")

    check_console(browser)


def run_in_browser(page_path):
    with Browser() as browser:
        run(browser, page_path)


if __name__ == "__main__":
    sys.exit(run_test(__doc__, sys.argv, run_in_browser))
