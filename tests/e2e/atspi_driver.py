"""Drives the real kestrune program through the accessibility layer (AT-SPI),
as a screen reader or a user would: by roles and names, never by pixels."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import warnings

# pyatspi's own calls into deprecated GObject methods are not our concern.
warnings.filterwarnings("ignore", category=DeprecationWarning)

import pyatspi  # noqa: E402


def wait_for(predicate, timeout=15.0, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            value = predicate()
        except Exception:  # the tree changes under us while the program works
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(node, role=None, name=None, pattern=None):
    for n in walk(node):
        if role and n.getRoleName() != role:
            continue
        if name is not None and n.name != name:
            continue
        if pattern is not None and not re.fullmatch(pattern, n.name or "", re.S):
            continue
        return n
    return None


class Program:
    """A copy of the built program in a fresh directory, so that its record
    file lands there and nowhere else."""

    def __init__(self, binary):
        self.dir = tempfile.mkdtemp(prefix="kestrune-e2e-")
        self.binary = os.path.join(self.dir, os.path.basename(binary))
        shutil.copy2(binary, self.binary)
        plugins = os.path.join(os.path.dirname(binary), "plugins")
        if os.path.isdir(plugins):
            shutil.copytree(plugins, os.path.join(self.dir, "plugins"))
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.proc = subprocess.Popen([self.binary], env=env, cwd="/")
        self.app = wait_for(self._find_app, what="the program on the accessibility bus")

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.get_process_id() == self.proc.pid:
                return a
        return None

    def wait_find(self, what=None, **kw):
        return wait_for(lambda: find(self.app, **kw), what=what or str(kw))

    def press(self, node):
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click"):
                action.doAction(i)
                return
        action.doAction(0)

    def click(self, node):
        """A real mouse click in the middle of the node, as a user makes it."""
        x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2),
                        "click", "1"], check=True)

    def button(self, name):
        return self.wait_find(role="push button", name=name)

    @staticmethod
    def enabled(node):
        return node.getState().contains(pyatspi.STATE_ENABLED)

    @staticmethod
    def text_of(node):
        t = node.queryText()
        return t.getText(0, -1)

    @staticmethod
    def set_text(node, text):
        node.queryEditableText().setTextContents(text)

    def key(self, keysym):
        wid = subprocess.run(["xdotool", "search", "--all", "--pid", str(self.proc.pid), "--name",
                              "Kestrune"], capture_output=True, text=True).stdout.split()
        subprocess.run(["xdotool", "windowfocus", "--sync", wid[-1]], check=True)
        subprocess.run(["xdotool", "key", keysym], check=True)

    def record_file(self):
        return os.path.join(self.dir, "我的做题时间记录.txt")

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)
