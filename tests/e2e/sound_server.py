"""A private sound server for end-to-end tests: PulseAudio with one null sink,
its socket in a folder of the test's own, and a listener on the sink's monitor
that measures what the program makes heard."""

import array
import math
import os
import shutil
import subprocess
import tempfile
import threading

from tavrin_e2e import WAIT_SECONDS, HelperProcess, wait_for

SINK = "tavrin_e2e"
MONITOR_RATE = 16000


class SoundServer(HelperProcess):
    """PulseAudio with a null sink as the default; `environment` is what a
    program needs to play into it."""

    def __enter__(self):
        if shutil.which("pulseaudio") is None or shutil.which("parec") is None:
            raise AssertionError("needs pulseaudio and parec (packages pulseaudio, pulseaudio-utils)")
        self.folder = tempfile.mkdtemp(prefix="tavrin-sound-")
        self.socket = os.path.join(self.folder, "native")
        script = os.path.join(self.folder, "server.pa")
        with open(script, "w") as out:
            out.write(f"load-module module-native-protocol-unix auth-anonymous=1 socket={self.socket}\n"
                      f"load-module module-null-sink sink_name={SINK} rate={MONITOR_RATE} channels=1\n"
                      f"set-default-sink {SINK}\n")
        # HOME and the runtime and state paths in the folder: nothing of the
        # user's own sound setup is read or changed.
        self.environment = {"PULSE_SERVER": f"unix:{self.socket}", "PULSE_RUNTIME_PATH": self.folder,
                            "PULSE_STATE_PATH": self.folder, "PULSE_COOKIE": os.path.join(self.folder, "cookie")}
        self._start(["pulseaudio", "-n", "-F", script, "--daemonize=no", "--exit-idle-time=-1",
                     "--use-pid-file=no", "--log-target=stderr"],
                    env={**os.environ, **self.environment, "HOME": self.folder})
        wait_for(self._accepting, "the sound server")
        return self

    def _accepting(self):
        if self.process.poll() is not None:
            self._fail("the sound server ended at start")
        return subprocess.run(["pactl", "info"], capture_output=True,
                              env={**os.environ, **self.environment}).returncode == 0

    def __exit__(self, *exc):
        super().__exit__(*exc)
        shutil.rmtree(self.folder, ignore_errors=True)

    def listen(self):
        return MonitorListener(self.environment)


class MonitorListener:
    """Records the sink's monitor while open, on a thread of its own so that the
    pipe never fills; `loudness` measures what plays from the moment it is asked."""

    def __init__(self, environment):
        self.process = subprocess.Popen(
            ["parec", "-d", f"{SINK}.monitor", "--format=s16le", f"--rate={MONITOR_RATE}", "--channels=1",
             "--raw", "--latency-msec=50"],
            stdout=subprocess.PIPE, env={**os.environ, **environment})
        self.received = bytearray()
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            chunk = self.process.stdout.read1(65536)
            if not chunk:
                return
            with self.lock:
                self.received += chunk

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.kill()
        self.process.wait(timeout=WAIT_SECONDS)
        self.reader.join(timeout=WAIT_SECONDS)

    def loudness(self, seconds):
        """RMS (0..1) of the next `seconds` the sink plays."""
        with self.lock:
            start = len(self.received) // 2 * 2
        end = start + int(seconds * MONITOR_RATE) * 2
        wait_for(lambda: len(self.received) >= end or not self.reader.is_alive(), "the monitor recording")
        with self.lock:
            stretch = bytes(self.received[start:end])
        if len(stretch) < end - start:
            raise AssertionError("the monitor recording ended")
        samples = array.array("h")
        samples.frombytes(stretch)
        return math.sqrt(sum(sample * sample for sample in samples) / len(samples)) / 32768

    def wait_for(self, condition, what, stretch=0.5):
        """Measures stretch after stretch until `condition(rms)` holds for one."""
        last = []

        def measured():
            last[:] = [self.loudness(stretch)]
            return condition(last[0])
        wait_for(measured, lambda: f"{what} (last RMS {last[0] if last else None})")
