"""Time to first sound: from starting a player on a recording until its first
audio reaches the sound server. The server is a private PulseAudio with a null
sink, as the end-to-end tests use; a listener on the sink's monitor timestamps
the first chunk holding a sample above a small threshold.

The program is measured in two parts, as a user meets them: from its start with
the recording on its command line until the player holds the recording (the
program then shows its message box and waits for the user), and from Space
pressed in the window until the first sound. mpv plays at once when started,
so it is measured from start to first sound."""

import array
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from sound_server import MONITOR_RATE, SINK, SoundServer  # noqa: E402
from tavrin_e2e import APPLICATION_TITLE, MAIN_TITLE, wait_for, xdotool  # noqa: E402

# About -60 dBFS: the decoder's silence stays below, the recording's tones at the
# program's volume of 50 go well above.
THRESHOLD = 32
POLL_SECONDS = 0.002


class FirstSoundListener:
    """Reads the monitor in small chunks on a thread of its own; once armed,
    keeps the arrival time of the first chunk with a sample above THRESHOLD."""

    def __init__(self, environment):
        self.process = subprocess.Popen(
            ["parec", "-d", f"{SINK}.monitor", "--format=s16le", f"--rate={MONITOR_RATE}", "--channels=1", "--raw",
             "--latency-msec=5"],
            stdout=subprocess.PIPE, env={**os.environ, **environment})
        self.lock = threading.Lock()
        self.armed = False
        self.heard_at = None
        self.last_loud = time.monotonic()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            chunk = self.process.stdout.read1(4096)
            if not chunk:
                return
            arrived = time.monotonic_ns()
            samples = array.array("h")
            samples.frombytes(chunk[: len(chunk) // 2 * 2])
            if samples and max(abs(min(samples)), max(samples)) > THRESHOLD:
                with self.lock:
                    self.last_loud = time.monotonic()
                    if self.armed and self.heard_at is None:
                        self.heard_at = arrived

    def arm(self):
        """Waits for half a second of silence, then listens for the next sound."""
        wait_for(lambda: time.monotonic() - self.last_loud > 0.5, "silence on the monitor")
        with self.lock:
            self.armed, self.heard_at = True, None

    def first_sound(self):
        """The monotonic_ns time of the first sound since arm()."""
        return wait_for(lambda: self.heard_at, "the first sound on the monitor")

    def close(self):
        self.process.kill()
        self.process.wait()


def player_path(socket_path):
    """The path libmpv holds, asked over its IPC socket; None until it answers."""
    try:
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as connection:
            connection.settimeout(10)
            connection.connect(socket_path)
            connection.sendall(b'{"command": ["get_property", "path"], "request_id": 1}\n')
            buffer = b""
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    return None
                buffer += chunk
                for line in buffer.split(b"\n")[:-1]:
                    reply = json.loads(line)
                    if reply.get("request_id") == 1:
                        return reply.get("data")
                buffer = buffer.split(b"\n")[-1]
    except OSError:
        return None


def window_of(process, title):
    """The visible X window of `process` with exactly this title, or None."""
    for window_id in xdotool("search", "--onlyvisible", "--pid", str(process.pid), check_result=False).split():
        if xdotool("getwindowname", window_id, check_result=False) == title:
            return window_id
    return None


def program_run(binary, recording, environment, listener):
    """One start of the program: (start to recording loaded, Space to first sound) in ms."""
    folder = tempfile.mkdtemp(prefix="tavrin-first-sound-")
    ipc = os.path.join(folder, "mpv.sock")
    # A state folder of its own each time: no position or journal is remembered.
    env = dict(environment, TAVRIN_MPV_IPC=ipc, XDG_STATE_HOME=os.path.join(folder, "state"), QT_QPA_PLATFORM="xcb")
    env.pop("TAVRIN_AUDIO_OUTPUT", None)
    listener.arm()
    started = time.monotonic_ns()
    process = subprocess.Popen([binary, recording], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: player_path(ipc) == recording, "the program's player to hold the recording",
                 interval=POLL_SECONDS)
        loaded = time.monotonic_ns()
        box = wait_for(lambda: window_of(process, APPLICATION_TITLE), "the message box")
        if listener.heard_at is not None:
            sys.exit("the program made a sound before it was told to play")
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        wait_for(lambda: window_of(process, APPLICATION_TITLE) is None, "the message box to close")
        main = window_of(process, MAIN_TITLE)
        xdotool("windowfocus", "--sync", main)
        pressed = time.monotonic_ns()
        xdotool("key", "space")
        heard = listener.first_sound()
        return (loaded - started) / 1e6, (heard - pressed) / 1e6
    finally:
        process.kill()
        process.wait()
        shutil.rmtree(folder, ignore_errors=True)


def mpv_run(recording, environment, listener):
    """One start of mpv on the recording: start to first sound in ms."""
    listener.arm()
    started = time.monotonic_ns()
    process = subprocess.Popen(["mpv", "--no-video", "--no-config", recording], env=environment,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return (listener.first_sound() - started) / 1e6
    finally:
        process.kill()
        process.wait()


def lead_in(recording):
    """Milliseconds of silence the recording decodes to at its start (the MP3
    encoder's delay): both players sound only after it."""
    with tempfile.TemporaryDirectory() as folder:
        pcm = os.path.join(folder, "start.raw")
        subprocess.run(["mpv", "--no-config", "--no-video", "--ao=pcm", f"--ao-pcm-file={pcm}",
                        "--ao-pcm-waveheader=no", "--audio-format=s16", "--audio-channels=mono",
                        f"--audio-samplerate={MONITOR_RATE}", "--length=1", recording],
                       check=True, stdin=subprocess.DEVNULL, capture_output=True)
        samples = array.array("h")
        with open(pcm, "rb") as raw:
            samples.frombytes(raw.read())
    first = next(index for index, sample in enumerate(samples) if abs(sample) > THRESHOLD)
    return first * 1000 / MONITOR_RATE


def measure(binary, recording, runs):
    """Per-run figures in ms: {"loaded": [...], "played": [...], "mpv": [...]}, runs taken in turn."""
    found = {"loaded": [], "played": [], "mpv": []}
    with SoundServer() as sound:
        environment = {**os.environ, **sound.environment}
        listener = FirstSoundListener(sound.environment)
        try:
            # The first stream a fresh server plays is late by most of a second
            # whoever plays it: one run of mpv, not counted, takes that.
            print(f"first stream on the fresh sound server: {mpv_run(recording, environment, listener):.0f} ms",
                  file=sys.stderr)
            for _ in range(runs):
                loaded, played = program_run(binary, recording, environment, listener)
                found["loaded"].append(loaded)
                found["played"].append(played)
                found["mpv"].append(mpv_run(recording, environment, listener))
        finally:
            listener.close()
    return found
