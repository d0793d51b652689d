"""Drives the real program on an X display, as a person would: real key presses
and mouse clicks through xdotool, what is on screen read back through the
accessibility bus, and the player's own state asked of libmpv over its IPC socket.

Run each test under `dbus-run-session`; the harness starts a virtual display
(Xvfb) and a window manager (openbox) itself, so windows get title bars and
Alt+F4 as on a desktop.
"""

import json
import os
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

WAIT_SECONDS = 60.0
APPLICATION_TITLE = "Tavrin录音整理"
MAIN_TITLE = "Tavrin录音整理速记助手V6.6    一款好用的录音整理辅助软件，可以为你节约不少时间！"
RECORDING_LOADED = "加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。"
# GBK bytes of the settings file as shipped: section 时间, three steps.
SHIPPED_SETTINGS = b"[\xca\xb1\xbc\xe4]\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n"


def wait_for(condition, what, timeout=WAIT_SECONDS, interval=0.05, raise_on_timeout=True):
    """Polls `condition` until it returns something true, and returns that.
    `what` names the awaited state in the failure, and may be a function giving it."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            if not raise_on_timeout:
                return value
            described = what() if callable(what) else what
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {described}")
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def xdotool(*args, check_result=True):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=WAIT_SECONDS)
    if check_result and result.returncode != 0:
        raise AssertionError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def write_wav(path, seconds, rate=8000, tone_seconds=0.25):
    """A mono 16-bit WAV: a 440 Hz tone, then silence (left as a hole in a sparse file)."""
    import math
    import struct

    samples = int(round(seconds * rate))
    header = b"RIFF" + struct.pack("<I", 36 + samples * 2) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data" + struct.pack("<I", samples * 2)
    tone = b"".join(struct.pack("<h", int(6000 * math.sin(2 * math.pi * 440 * i / rate)))
                    for i in range(min(samples, int(rate * tone_seconds))))
    with open(path, "wb") as out:
        out.write(header + tone)
        out.truncate(44 + samples * 2)


class HelperProcess:
    """A process the test runs beside the program (display server, window
    manager); its output is kept to explain why it failed to come up."""

    def _start(self, command, **options):
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, stdout=self.log, stderr=subprocess.STDOUT, **options)

    def _fail(self, reason):
        self._stop()
        self.log.seek(0)
        raise AssertionError(f"{reason}: {self.log.read().decode(errors='replace').strip()}")

    def _stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=WAIT_SECONDS)

    def __exit__(self, *exc):
        self._stop()
        self.log.close()


class VirtualDisplay(HelperProcess):
    """An X server of the test's own. Xvfb picks a free display number itself
    (-displayfd) and writes it only once it accepts connections, so a test never
    races other virtual displays on the same machine for a number, as choosing
    one from the lock files beforehand would."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: by default the server resets when its last client leaves, and
        # drops a client that connects during the reset. The probe below is such a
        # last client, and openbox, connecting just after, was dropped in CI.
        self._start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        os.environ["DISPLAY"] = f":{number}"
        os.environ.pop("XAUTHORITY", None)
        # A client that connects is the proof the display is there.
        wait_for(self._accepting, "the virtual display to accept clients")
        # The accessibility bus is started on demand by the session bus, which
        # must know the display to hand it on.
        if os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            subprocess.run(["dbus-update-activation-environment", f"DISPLAY=:{number}"],
                           capture_output=True, timeout=WAIT_SECONDS)
        return self

    def _accepting(self):
        if self.process.poll() is not None:
            self._fail("Xvfb ended at start")
        return subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0

    def _read_display_number(self, read_end):
        received = b""
        deadline = time.monotonic() + WAIT_SECONDS
        while not received.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            ready, _, _ = select.select([read_end], [], [], max(remaining, 0))
            chunk = os.read(read_end, 64) if ready else b""
            if not chunk:
                self._fail("Xvfb did not start" if ready else "timed out waiting for Xvfb")
            received += chunk
        return int(received)


class WindowManager(HelperProcess):
    """openbox on the current display, for the duration of a test."""

    def __enter__(self):
        self._start(["openbox"])
        wait_for(self._managing, "the window manager")
        return self

    def _managing(self):
        if self.process.poll() is not None:
            self._fail("the window manager ended at start")
        return "window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                             capture_output=True, text=True).stdout


class Program:
    """The real program, started from a folder of its own so that each test has
    its own settings file beside the executable."""

    def __init__(self, binary, settings=SHIPPED_SETTINGS, settings_name="Time.ini", cwd=None, env=None, args=()):
        self.folder = tempfile.mkdtemp(prefix="tavrin-e2e-")
        self.executable = os.path.join(self.folder, "tavrin")
        shutil.copy2(binary, self.executable)
        # What lies beside the program, as installed: the first draft's helper and its engine.
        for beside in ("tavrin-draft", "speech-engine"):
            if os.path.exists(os.path.join(os.path.dirname(binary), beside)):
                os.symlink(os.path.realpath(os.path.join(os.path.dirname(binary), beside)),
                           os.path.join(self.folder, beside))
        if settings is not None:
            with open(os.path.join(self.folder, settings_name), "wb") as out:
                out.write(settings)
        self.ipc_path = os.path.join(self.folder, "mpv.sock")
        environment = dict(os.environ)
        environment.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "TAVRIN_AUDIO_OUTPUT": "null",
            "TAVRIN_MPV_IPC": self.ipc_path,
            # The program's own state (recovery journals) stays with the test.
            "XDG_STATE_HOME": os.path.join(self.folder, "state"),
            "XDG_CACHE_HOME": os.path.join(self.folder, "cache"),
        })
        environment.update(env or {})
        self.log = open(os.path.join(self.folder, "program.log"), "w")
        self.process = subprocess.Popen([self.executable, *args], cwd=cwd or self.folder, env=environment,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self._application = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=WAIT_SECONDS)
        self.log.close()
        if exc[0] is not None:
            with open(os.path.join(self.folder, "program.log")) as log:
                sys.stderr.write("program output:\n" + log.read())
        shutil.rmtree(self.folder, ignore_errors=True)

    # Windows -------------------------------------------------------------

    def visible_window(self, title):
        """The X window id of the program's visible window with exactly this title, or None."""
        self.require_running()
        ids = xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), check_result=False).split()
        for window_id in ids:
            if xdotool("getwindowname", window_id, check_result=False) == title:
                return window_id
        return None

    def window(self, title, timeout=WAIT_SECONDS):
        """Waits for the program's visible window with exactly this title and returns its id."""
        return wait_for(lambda: self.visible_window(title), f"a window titled {title!r}", timeout)

    def answer_message(self, text, key="Return", caption=APPLICATION_TITLE):
        """Checks that a message box shows exactly `text` and closes it with `key`."""
        shown = self.answer_box(text, key, caption)
        check(shown == text, f"the message says {shown!r}, not {text!r}")

    def answer_box(self, part, key="Return", caption=APPLICATION_TITLE):
        """Waits for a box whose text holds `part`, closes it with `key` (Return: OK
        or Yes, Escape: No) and returns its whole text. Another box may follow at
        once under the same caption: closing is seen by this text going."""
        def text_with_part():
            application = self.application()
            for index in range(application.get_child_count()):
                box = application.get_child_at_index(index)
                try:
                    if box is None or box.get_role_name() != "alert" or box.get_name() != caption:
                        continue
                    # A box shown where the last one was may be given its accessible
                    # address: what the bus cached of the old one must go.
                    box.clear_cache()
                    for child in range(box.get_child_count()):
                        label = box.get_child_at_index(child)
                        if label is None:
                            continue
                        label.clear_cache()
                        if label.get_role_name() == "label" and part in (label.get_name() or ""):
                            return label.get_name()
                except gi.repository.GLib.Error:
                    continue
            return None
        text = wait_for(text_with_part, f"a box saying {part!r}")
        self.window(caption)  # on screen, so that it gets the key
        self.key(key)
        wait_for(lambda: text_with_part() is None, f"the box {part!r} to close")
        return text

    def main_window(self):
        return self.window(MAIN_TITLE)

    def activate(self, window_id):
        xdotool("windowactivate", "--sync", window_id, check_result=False)
        wait_for(lambda: xdotool("getactivewindow", check_result=False) == window_id, "the window to be active")

    @staticmethod
    def window_gone(window_id):
        """True once the window is no longer shown (closed or hidden)."""
        info = subprocess.run(["xwininfo", "-id", window_id], capture_output=True, text=True)
        return info.returncode != 0 or "IsViewable" not in info.stdout

    def require_running(self):
        code = self.process.poll()
        if code is not None:
            raise AssertionError(f"the program ended with code {code}")

    def wait_exit(self, timeout=WAIT_SECONDS):
        deadline = time.monotonic() + timeout
        while self.process.poll() is None:
            if time.monotonic() > deadline:
                raise AssertionError("the program did not end")
            time.sleep(0.05)
        return self.process.returncode

    # Input ----------------------------------------------------------------

    def key(self, *keys):
        xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        xdotool("type", "--delay", "30", text)

    def type_into(self, node, text):
        """Types `text` at the caret of a text control and waits until it is there.

        xdotool types a character outside the keyboard map by remapping a spare key
        just before pressing it, and the program may still read that key with the
        old map: the first such character of a run can come out as another. So
        such characters go one at a time, each checked, and a wrong one is taken
        back with BackSpace and typed again."""
        expected = self.text(node)
        ascii_run = ""

        def flush():
            nonlocal expected, ascii_run
            if ascii_run:
                self.type(ascii_run)
                expected += ascii_run
                wait_for(lambda: self.text(node) == expected, lambda: f"{expected!r}, not {self.text(node)!r}")
                ascii_run = ""

        for character in text:
            if ord(character) < 128 and character != "\n":
                ascii_run += character
                continue
            flush()
            for _ in range(5):
                if character == "\n":
                    self.key("Return")
                else:
                    self.type(character)
                if wait_for(lambda: len(self.text(node)) > len(expected), "a typed character", timeout=3,
                            raise_on_timeout=False):
                    if self.text(node) == expected + character:
                        break
                    self.key("BackSpace")
                    wait_for(lambda: self.text(node) == expected, lambda: f"{expected!r} after BackSpace")
            else:
                raise AssertionError(f"could not type {character!r}")
            expected += character
        flush()

    def click(self, node, button=1, repeat=1):
        extents = node.get_extents(Atspi.CoordType.SCREEN)
        x = extents.x + extents.width // 2
        y = extents.y + extents.height // 2
        xdotool("mousemove", "--sync", str(x), str(y))
        xdotool("click", "--repeat", str(repeat), "--delay", "80", str(button))

    def open_menu_item(self, caption):
        self.click(self.find(name=caption, role="menu item"))

    def choose_file(self, dialog_title, path):
        """Types the path into a file dialog's name box and confirms, as a user would."""
        dialog_window = self.window(dialog_title)
        name_box = self.find(role="text", within=self.find(name=dialog_title, role="dialog"))
        # Typed through an input method, a key can be lost as the completion list
        # opens over the box (Qt's own dialog): each character is checked, and one
        # lost is typed again.
        self.key("ctrl+a", "BackSpace")
        wait_for(lambda: self.text(name_box) == "", "the file dialog's name box emptied")
        for typed in range(1, len(path) + 1):
            for _ in range(5):
                self.type(path[typed - 1])
                if wait_for(lambda: self.text(name_box) == path[:typed], "a typed character", timeout=3,
                            raise_on_timeout=False):
                    break
            else:
                raise AssertionError(f"the path in the file dialog, not {self.text(name_box)!r}")
        # The first Return may only close the name box's completion list. The
        # dialog may also stay on screen a while after taking the path, as the
        # window opens the file before it draws again: another Return then would
        # reach the editor.
        for _ in range(3):
            self.key("Return")
            if wait_for(lambda: self.window_gone(dialog_window), "the file dialog to close", timeout=10,
                        raise_on_timeout=False):
                return
        raise AssertionError("the file dialog did not take the path")

    def load_recording(self, path):
        """Loads a recording through the menu and its dialog, and waits until the player has it."""
        self.open_menu_item(" 加载音视频 ")
        self.choose_file("请选择录音文件", path)
        self.answer_message(RECORDING_LOADED)
        wait_for(lambda: self.player_property("path") == path, "the player to open the recording")

    def double_click_text(self, node, offset):
        """Double-clicks the character at `offset` of a text control."""
        box = node.get_text_iface().get_character_extents(offset, Atspi.CoordType.SCREEN)
        xdotool("mousemove", "--sync", str(box.x + max(1, box.width // 2)), str(box.y + box.height // 2))
        xdotool("click", "--repeat", "2", "--delay", "60", "1")

    # What is on screen ------------------------------------------------------

    def application(self):
        def find():
            self.require_running()
            desktop = Atspi.get_desktop(0)
            for index in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(index)
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            return None
        if self._application is None:
            self._application = wait_for(find, "the program on the accessibility bus")
        self._application.clear_cache()
        return self._application

    def find(self, name=None, role=None, description=None, within=None, timeout=WAIT_SECONDS):
        """The first accessible node (depth first) matching the given name, role name and description."""
        def matches(node):
            try:
                return ((name is None or node.get_name() == name)
                        and (role is None or node.get_role_name() == role)
                        and (description is None or node.get_description() == description))
            except gi.repository.GLib.Error:
                return False

        def search(node, depth=0):
            if node is None or depth > 25:
                return None
            if matches(node):
                return node
            for index in range(node.get_child_count()):
                found = search(node.get_child_at_index(index), depth + 1)
                if found is not None:
                    return found
            return None

        return wait_for(lambda: search(within or self.application()),
                        f"an accessible {role or 'node'} named {name!r}", timeout)

    @staticmethod
    def text(node):
        node.clear_cache()
        text = node.get_text_iface()
        return text.get_text(0, text.get_character_count()) if text else node.get_name()

    @staticmethod
    def value(node):
        node.clear_cache()
        return node.get_value_iface().get_current_value()

    @staticmethod
    def focused(node):
        node.clear_cache()
        return node.get_state_set().contains(Atspi.StateType.FOCUSED)

    # The player ---------------------------------------------------------------

    def player(self, *command):
        """Sends one command to libmpv's IPC socket and returns its data."""
        wait_for(lambda: os.path.exists(self.ipc_path), "the player's IPC socket")
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as connection:
            connection.settimeout(WAIT_SECONDS)
            connection.connect(self.ipc_path)
            connection.sendall(json.dumps({"command": list(command), "request_id": 1}).encode() + b"\n")
            buffer = b""
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    raise AssertionError("the player closed its IPC socket")
                buffer += chunk
                while b"\n" in buffer:
                    line, buffer = buffer.split(b"\n", 1)
                    reply = json.loads(line)
                    if reply.get("request_id") == 1:
                        if reply.get("error") != "success":
                            return None
                        return reply.get("data")

    def player_property(self, name):
        return self.player("get_property", name)


def run(tests):
    """Runs the given test functions in order; each takes the program's binary path."""
    binary = sys.argv[1]
    failures = 0
    with VirtualDisplay(), WindowManager():
        for test in tests:
            started = time.monotonic()
            try:
                test(binary)
                print(f"PASS {test.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception as error:  # noqa: BLE001 - report every failure and go on
                failures += 1
                print(f"FAIL {test.__name__}: {error}", flush=True)
                import traceback
                traceback.print_exc()
    sys.exit(1 if failures else 0)
