"""A small client of the DevTools protocol for Debian's headless Chromium, over the pipe that
--remote-debugging-pipe opens (no port, no WebSocket library): starts the browser, opens one page
and drives it as a person would, with keys, mouse buttons and screenshots.

Every wait has a deadline; the browser is ended when the Browser leaves its with-block."""

import base64
import json
import os
import select
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--disable-extensions", "--disable-quic",
    "--mute-audio", "--hide-scrollbars", "--window-size=1000,800",
]


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    raise RuntimeError("no Chromium found: install Debian's chromium package")


class Browser:
    def __init__(self, timeout=30, extra_flags=()):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="orlavane-chromium-")
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        def give_pipe_to_browser():
            # The browser reads commands on fd 3 and writes replies on fd 4. Every other descriptor
            # Python made is close-on-exec, so nothing else is passed on.
            read_end, write_end = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self.process = subprocess.Popen(
            [find_chromium(), *CHROMIUM_FLAGS, *extra_flags, "--remote-debugging-pipe",
             "--user-data-dir=" + self.profile, "about:blank"],
            close_fds=False, preexec_fn=give_pipe_to_browser,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = self.target = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self.to_browser, self.from_browser):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("the browser did not answer in time")
            ready, _, _ = select.select([self.from_browser], [], [], left)
            if ready:
                chunk = os.read(self.from_browser, 1 << 20)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe (did it crash?)")
                self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=True, timeout=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def pump(self, seconds=0.0):
        """Collects the events that arrive within the given time."""
        deadline = time.monotonic() + seconds
        try:
            while True:
                self.events.append(self._read_message(deadline))
        except TimeoutError:
            pass

    def open(self, url, width, height):
        """Opens a page of the given size with the protocol's domains for console, errors and
        network turned on, and navigates it to url."""
        self.target = self.call("Target.createTarget", session=False, url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", session=False, targetId=self.target,
                                 flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.call(domain + ".enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)
        self.call("Page.bringToFront")
        self.call("Page.navigate", url=url)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.05)
        raise TimeoutError(f"waited {timeout} s for {expression}")

    # Input, as the browser's own input events.
    def key(self, key, code, key_code, text=None):
        base = {"key": key, "code": code, "windowsVirtualKeyCode": key_code,
                "nativeVirtualKeyCode": key_code}
        down = dict(base, type="keyDown" if text else "rawKeyDown")
        if text:
            down["text"] = text
            down["unmodifiedText"] = text
        self.call("Input.dispatchKeyEvent", **down)
        self.call("Input.dispatchKeyEvent", type="keyUp", **base)

    def mouse(self, kind, x, y, button="none", buttons=0):
        self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, buttons=buttons,
                  clickCount=1 if kind != "mouseMoved" else 0)

    def drag(self, button, x, y, dx, dy, steps=4):
        mask = {"left": 1, "right": 2, "middle": 4}[button]
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, button, mask)
        for i in range(1, steps + 1):
            self.mouse("mouseMoved", x + dx * i / steps, y + dy * i / steps, button, mask)
        self.mouse("mouseReleased", x + dx, y + dy, button, 0)

    def screenshot(self, x, y, width, height):
        """The page's pixels in the given box, as an Image."""
        data = self.call("Page.captureScreenshot", format="png", captureBeyondViewport=False,
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})["data"]
        return decode_png(base64.b64decode(data))

    def problems(self):
        """Console errors, uncaught exceptions and failed loads reported so far."""
        self.pump(0.0)
        found = []
        for event in self.events:
            method, params = event["method"], event.get("params", {})
            if method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                found.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
            elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
                found.append("console." + params["type"] + ": " +
                             " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"]))
            elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
                found.append("log: " + params["entry"]["text"])
            elif method == "Network.loadingFailed" and not params.get("canceled"):
                found.append("load failed: " + params.get("errorText", ""))
        return found

    def requests(self):
        self.pump(0.0)
        return [e["params"] for e in self.events if e["method"] == "Network.requestWillBeSent"]


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def count(self, colour):
        r, g, b = colour
        return sum(1 for i in range(0, len(self.rgb), 3)
                   if self.rgb[i] == r and self.rgb[i + 1] == g and self.rgb[i + 2] == b)

    def __eq__(self, other):
        return (self.width, self.height, self.rgb) == (other.width, other.height, other.rgb)


def decode_png(data):
    """Decodes the 8-bit RGB or RGBA, non-interlaced PNG that Chromium's screenshots are."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace:
        raise ValueError(f"unsupported PNG: depth {depth}, colour type {colour_type}")
    channels = 3 if colour_type == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 255
        rows.append(line)
        previous = line
    rgb = bytearray()
    for line in rows:
        if channels == 3:
            rgb += line
        else:
            for i in range(0, stride, 4):
                rgb += line[i:i + 3]
    return Image(width, height, bytes(rgb))
