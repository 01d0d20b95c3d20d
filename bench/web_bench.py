"""Usage: python3 bench/web_bench.py [build-web/index.html] [LOADS]

Figures of the page in Debian's headless Chromium, printed as a Markdown table of medians:
  - what the page loads: its one file, and any other request it makes (there should be none);
  - the time from navigation to the first drawn frame, over LOADS (15) fresh loads;
  - a frame's cost against an empty frame (clear only) in the same page: the program's display
    callback and the empty frame run in alternating batches, each frame ended with a one-pixel
    read so that the GPU's work (SwiftShader's, here) is counted;
  - the clipper panel's update in a frame of the moving square, and the frames drawn per display
    refresh with the panel shown, over five seconds of the running program."""

import os
import pathlib
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from cdp import Browser  # noqa: E402

FRAME_RATIO = """(async () => {
  const glut = Module.orlavaneGlut, gl = Module.canvas.getContext('webgl');
  const pixel = new Uint8Array(4);
  const sync = () => gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
  const frames = {program: () => glut.call('display'), empty: () => gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT)};
  const times = {program: [], empty: []};
  for (let batch = 0; batch < 30; ++batch) {
    for (const kind of batch % 2 ? ['empty', 'program'] : ['program', 'empty']) {
      const start = performance.now();
      for (let i = 0; i < 50; ++i) { frames[kind](); sync(); }
      times[kind].push((performance.now() - start) / 50);
    }
    await new Promise(r => setTimeout(r, 0));
  }
  const median = a => a.slice().sort((x, y) => x - y)[a.length >> 1];
  return {program: median(times.program), empty: median(times.empty)};
})()"""

REFRESH = """(async () => {
  const glut = Module.orlavaneGlut;
  let ticks = 0, running = true;
  const tick = () => { if (running) { ++ticks; requestAnimationFrame(tick); } };
  requestAnimationFrame(tick);
  const drawn = glut.framesShown;
  await new Promise(r => setTimeout(r, 5000));
  running = false;
  return {ticks: ticks, frames: glut.framesShown - drawn};
})()"""

# The panel's update as in a frame of the moving square: the six passes traced and every diagram
# and the table drawn afresh. Timed over batches, as the page's clock is coarse (0.1 ms).
PANEL = """(async () => {
  const batch = [];
  for (let b = 0; b < 15; ++b) {
    const start = performance.now();
    for (let i = 0; i < 100; ++i) { ClipperPanel.state.last = null; ClipperPanel.update(Module); }
    batch.push((performance.now() - start) / 100);
    await new Promise(r => setTimeout(r, 0));
  }
  return batch.sort((x, y) => x - y)[batch.length >> 1];
})()"""


def main():
    page = sys.argv[1] if len(sys.argv) > 1 else "build-web/index.html"
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    url = pathlib.Path(page).resolve().as_uri()
    first_frames, others = [], set()
    with Browser() as browser:
        for _ in range(loads):
            browser.events.clear()
            browser.open(url, 1000, 800)
            first_frames.append(browser.wait_for(
                "(performance.getEntriesByName('orlavane-first-frame')[0] || {}).startTime"))
            others |= {r["request"]["url"][:80] for r in browser.requests()
                       if not r["request"]["url"].startswith(("data:", "file:"))}
            browser.call("Target.closeTarget", session=False, targetId=browser.target)
        browser.open(url, 1000, 800)
        browser.wait_for("(performance.getEntriesByName('orlavane-first-frame')[0] || {}).startTime")
        refresh = browser.evaluate(REFRESH)
        # Stop the frame loop, which would compete with the batches.
        browser.evaluate("cancelAnimationFrame(Module.orlavaneGlut.frameRequest)")
        ratio = browser.evaluate(FRAME_RATIO)
        panel = browser.evaluate(PANEL)

    size = os.path.getsize(page)
    print("| Figure | Median |")
    print("|---|---|")
    print(f"| page weight: {os.path.basename(page)}, the one file it loads | {size / 1000:.0f} kB ({size} bytes) |")
    print(f"| other requests | {len(others)} |")
    print(f"| navigation to the first drawn frame ({loads} loads) | {statistics.median(first_frames):.0f} ms |")
    print(f"| program frame / empty frame | {ratio['program'] * 1000:.0f} us / {ratio['empty'] * 1000:.0f} us"
          f" = {ratio['program'] / ratio['empty']:.2f}x |")
    print(f"| clipper panel's update per frame (trace, seven diagrams, table) | {panel * 1000:.0f} us |")
    print(f"| frames drawn per display refresh, panel shown (5 s) | {refresh['frames']} / {refresh['ticks']}"
          f" = {refresh['frames'] / max(refresh['ticks'], 1):.2f} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
