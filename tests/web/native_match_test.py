"""Usage: python3 tests/web/native_match_test.py build-web/index.html build/orlavane libframe_probe.so

The page's canvas shows what the native window shows: the page is paused after some frames of
motion in headless Chromium, in the world view, in the clip-space view and turned by a drag, and
the native program, on the display in DISPLAY, saves the same frame (the frame probe reads it
from the back buffer); the two pictures are compared pixel by pixel. Run it on a private display:
tools/with-xvfb.sh.

Both draw the same geometry through different rasterisers (Mesa's llvmpipe, SwiftShader under
WebGL) and the page draws the 3-pixel line as quads, so a few pixels may differ: 1 to 2.5% of the
lit pixels were seen, and at most 6% may; and at least 99% of each picture's lit pixels must find
their colour within a pixel in the other. A fault in the page's matrices, colours, depth or line
width moves far more: a line 1.4 times too wide, 18%; a field of view 1 degree off, 55%."""

import os
import pathlib
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser, Image  # noqa: E402
from harness import Failure, Page, check, check_console, run_test, step  # noqa: E402

BLACK = (0, 0, 0)


# A left drag that turns the camera by 28.125 degrees of yaw and 22.5 of pitch, in four moves of
# whole pixels, so that the page and the native program add up the same angles.
TURN = (40, 32)


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=15, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def web_frame(page_path, after, view):
    """Pauses the page after at least `after` frames, in the given view; returns its picture and
    how many frames of motion it shows (the square turns one degree about x per frame)."""
    with Browser() as browser:
        page = Page(browser, pathlib.Path(page_path).resolve().as_uri())
        page.wait_until(lambda: (browser.evaluate("Module.orlavaneGlut && Module.orlavaneGlut.framesShown") or 0) > after,
                        what=f"{after} frames")
        if view == "turned":
            page.drag("left", *TURN)
        page.key("backslash")
        picture = page.still()
        if view == "clip-space":
            page.key("space")
            picture = page.changes_from(picture, "the clip-space view")
            picture = page.still()
        frames = browser.evaluate("Module._orlavaneSpinAngle()")
        check_console(browser)
    return picture, int(frames)


def native_frame(program, probe, frame, view):
    """The native program's frame number `frame`, read from its back buffer. For the clip-space
    view and the turned one the program is slowed to ten frames a second and gets a space, or a
    left drag, at once, long before the frame."""
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, LD_PRELOAD=probe, ORLAVANE_DUMP_DIR=folder, ORLAVANE_DUMP_FRAMES=f"{frame} 1 1")
        if view != "world":
            env["ORLAVANE_FRAME_DELAY_US"] = "100000"
        process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        path = os.path.join(folder, "frame-%05d.ppm" % frame)
        try:
            if view != "world":
                window = subprocess.run(["xdotool", "search", "--sync", "--name", "^Orlavane$"], capture_output=True,
                                        text=True, timeout=15).stdout.split()[0]
                if view == "clip-space":
                    xdotool("key", "--window", window, "space")
                else:  # the drag the page got: from the middle, in four equal moves
                    xdotool("mousemove", "--window", window, "128", "128", "mousedown", "1")
                    for i in range(1, 5):
                        xdotool("mousemove", "--window", window, str(128 + TURN[0] * i // 4), str(128 + TURN[1] * i // 4))
                    xdotool("mouseup", "1")
            deadline = time.monotonic() + 60
            while time.monotonic() < deadline:
                # The probe writes the file whole before the frame is shown: wait for its full size.
                if os.path.exists(path) and os.path.getsize(path) >= 256 * 256 * 3:
                    time.sleep(0.1)
                    break
                time.sleep(0.05)
            else:
                raise Failure(f"the native program did not save frame {frame}")
            with open(path, "rb") as f:
                data = f.read()
        finally:
            process.kill()
            process.wait()
    header, width, height, _ = data.split(maxsplit=3)[:4]
    check(header == b"P6" and int(width) == 256 and int(height) == 256, "the native frame is not a 256 x 256 PPM")
    return Image(256, 256, data[-256 * 256 * 3:])


def matched_share(image, other):
    """The share of image's lit pixels whose colour other has at the same place or a pixel away."""
    lit = matched = 0
    for y in range(256):
        for x in range(256):
            colour = image.pixel(x, y)
            if colour == BLACK:
                continue
            lit += 1
            matched += any(other.pixel(min(255, max(0, x + dx)), min(255, max(0, y + dy))) == colour
                           for dx in (-1, 0, 1) for dy in (-1, 0, 1))
    return matched / max(lit, 1), lit


def compare(page_path, program, probe):
    for after, view in ((5, "world"), (150, "world"), (60, "clip-space"), (60, "turned")):
        step(f"the page paused after {after} or more frames in the {view} view, and the native program's same frame")
        web, frames = web_frame(page_path, after, view)
        native = native_frame(program, probe, frames, view)
        differing = sum(web.pixel(x, y) != native.pixel(x, y) for y in range(256) for x in range(256))
        native_share, lit = matched_share(native, web)
        web_share, _ = matched_share(web, native)
        print(f"   frame {frames}: {lit} lit pixels natively, {differing} differ; matched within a pixel:"
              f" {native_share:.1%} of the native picture's, {web_share:.1%} of the page's")
        check(differing <= 0.06 * lit, f"frame {frames}: {differing} of {lit} pixels differ")
        check(native_share >= 0.99 and web_share >= 0.99, f"frame {frames}: the pictures do not match")


if __name__ == "__main__":
    sys.exit(run_test(__doc__, sys.argv, compare))
