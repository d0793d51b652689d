"""The seek bar's waveform on the real display: drawn where the recording is
loud and not where it is silent, and a click on it plays from there."""

import os
import subprocess
import tempfile
from collections import Counter

from gi.repository import Atspi

from tavrin_e2e import Program, check, run, wait_for, write_wav, xdotool

SECONDS = 40
LOUD_SECONDS = 10  # the tone, from the start; silence after it


def column_colours(box, x):
    """The colours of the screen's pixels in column `x` of the box, top to bottom."""
    crop = f"1x{box.height - 4}+{x}+{box.y + 2}"
    listing = subprocess.run(["import", "-silent", "-window", "root", "-crop", crop, "txt:-"],
                             capture_output=True, text=True, check=True).stdout
    return [line.split()[2] for line in listing.splitlines()[1:]]


def test_waveform_drawn_and_clicked(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, SECONDS, tone_seconds=LOUD_SECONDS)
        program.activate(program.main_window())
        program.load_recording(recording)
        bar = program.find(name="播放进度", role="slider")
        box = bar.get_extents(Atspi.CoordType.SCREEN)
        at = lambda fraction: box.x + int(box.width * fraction)

        # The background is what a silent stretch shows; the loud stretch is drawn over it.
        def drawn():
            silent = column_colours(box, at(0.75))
            background = Counter(silent).most_common(1)[0][0]
            loud = column_colours(box, at(0.125))
            return (all(colour == background for colour in silent)
                    and sum(colour != background for colour in loud) > len(loud) // 3)

        wait_for(drawn, "the waveform: drawn over the tone, nothing over the silence")

        # Playing, a click on the bar goes on playing from there.
        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "Space to start playback")
        y = box.y + box.height // 2
        xdotool("mousemove", "--sync", str(at(0.75)), str(y))
        xdotool("click", "1")
        position = lambda: program.player_property("time-pos")
        wait_for(lambda: abs(position() - 0.75 * SECONDS) < 1.5,
                 lambda: f"playback from {0.75 * SECONDS} s, not {position()}")
        check(program.player_property("pause") is False, "playing on from the click")


if __name__ == "__main__":
    run([test_waveform_drawn_and_clicked])
