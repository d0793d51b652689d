"""What the program makes heard, listened to on the monitor of a private sound
server's null sink: the recording sounds at the normal rate and at the slowest,
and nothing sounds while paused."""

import os
import tempfile

from sound_server import SoundServer
from tavrin_e2e import Program, check, run, wait_for, write_wav

# A 440 Hz tone of about -15 dBFS at the player's volume of 50 gives some 0.016.
AUDIBLE = 0.005
SILENT = 0.0001


def test_heard_at_normal_and_slowest_rate_and_silent_when_paused(binary):
    with (SoundServer() as sound, tempfile.TemporaryDirectory() as folder,
          Program(binary, env={"TAVRIN_AUDIO_OUTPUT": "pulse", **sound.environment}) as program,
          sound.listen() as monitor):
        recording = os.path.join(folder, "tone.wav")
        write_wav(recording, 120, tone_seconds=120)
        program.activate(program.main_window())
        program.load_recording(recording)
        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the editor to hold the focus")
        monitor.wait_for(lambda rms: rms < SILENT, "silence before playing")

        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "Space to start playback")
        monitor.wait_for(lambda rms: rms > AUDIBLE, "the tone at rate 1.0")

        for _ in range(9):
            program.key("ctrl+Down")
        wait_for(lambda: abs(program.player_property("speed") - 0.1) < 1e-9, "the player at rate 0.1")
        # The player and the sound server still hold under a second of sound at the old rate.
        monitor.loudness(2.0)
        slowest = min(monitor.loudness(0.5) for _ in range(4))
        check(slowest > AUDIBLE, f"the tone is heard throughout at rate 0.1 (quietest RMS {slowest:.4f})")
        print(f"RMS on the monitor at rate 0.1: {slowest:.4f}", flush=True)

        program.key("space")
        wait_for(lambda: program.player_property("pause") is True, "Space to pause playback")
        monitor.wait_for(lambda rms: rms < SILENT, "silence while paused")
        paused = monitor.loudness(1.0)
        check(paused < SILENT, f"silence stays while paused (RMS {paused:.4f})")


if __name__ == "__main__":
    run([test_heard_at_normal_and_slowest_rate_and_silent_when_paused])
