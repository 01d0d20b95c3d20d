"""Usage: python3 tools/page_picture.py [build-web/index.html] [docs/page.png]

Makes the README's picture of the page: opens it in Debian's headless Chromium, lets the square
move for two seconds, turns the camera by a drag of (40, 30) pixels as the native pictures do,
pauses with backslash, and saves the top of the page, canvas and clipper panel, as a PNG."""

import base64
import os
import pathlib
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from cdp import Browser  # noqa: E402


def main():
    page = sys.argv[1] if len(sys.argv) > 1 else "build-web/index.html"
    out = sys.argv[2] if len(sys.argv) > 2 else "docs/page.png"
    with Browser() as browser:
        browser.open(pathlib.Path(page).resolve().as_uri(), 940, 760)
        browser.wait_for("(performance.getEntriesByName('orlavane-first-frame')[0] || {}).startTime")
        time.sleep(2)
        x, y = browser.evaluate("(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
                                " return [r.left + 128, r.top + 128]; })()")
        browser.drag("left", x, y, 40, 30)
        browser.key("\\", "Backslash", 220, "\\")
        time.sleep(0.5)
        data = browser.call("Page.captureScreenshot", format="png",
                            clip={"x": 0, "y": 0, "width": 940, "height": 760, "scale": 1})["data"]
    with open(out, "wb") as f:
        f.write(base64.b64decode(data))
    print(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
