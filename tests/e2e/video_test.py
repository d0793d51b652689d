"""The video window on the real display: the picture on screen (read from the X
server, as a screenshot) follows the keys, the typed time and the rate; keys
typed into it reach the editor; it opens beside the editor and stays above the
main window while the user types there; an audio-only file opens none; a broken
picture is told in the window; its place survives a restart."""

import os
import subprocess
import tempfile

from tavrin_e2e import Atspi, Program, check, run, wait_for, write_wav, xdotool

BLOCKS = ("red", "blue", "lime")  # five seconds each
PROBLEM = "无法显示画面：视频画面无法解码\n声音照常播放。"


def write_colour_blocks(path, broken=False):
    """Fifteen seconds of 320×240 H.264, a colour per five seconds, with a tone;
    a broken picture has every byte of its video packets overwritten."""
    sources = []
    for colour in BLOCKS:
        sources += ["-f", "lavfi", "-i", f"color=c={colour}:s=320x240:d=5,format=yuv420p"]
    damage = ["-bsf:v", "noise=amount=1"] if broken else []
    subprocess.run(["ffmpeg", "-v", "error", "-y", *sources, "-f", "lavfi", "-i", "sine=f=440:d=15",
                    "-filter_complex", "[0][1][2]concat=n=3:v=1:a=0[v]", "-map", "[v]", "-map", "3",
                    "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", *damage, path], check=True)


def colour_in_the_middle(window_id):
    """The name of the block colour on screen at the middle of the window, or None.
    Read from the screen, not the window: the picture is drawn into a window of its
    own inside it, whose pixels X hands out only as part of the screen."""
    x, y, width, height = geometry(window_id)
    crop = f"1x1+{x + width // 2}+{y + height // 2}"
    shot = subprocess.run(["import", "-silent", "-window", "root", "-crop", crop, "-depth", "8", "rgb:-"],
                          capture_output=True).stdout
    if len(shot) < 3:
        return None
    red, green, blue = shot[:3]
    named = {"red": (red > 200 and green < 60 and blue < 60),
             "blue": (blue > 200 and red < 60 and green < 60),
             "lime": (green > 200 and red < 60 and blue < 60)}
    return next((name for name, matches in named.items() if matches), None)


def block_at(seconds):
    return BLOCKS[min(int(seconds // 5), len(BLOCKS) - 1)]


def go_to_typed_time(program, text):
    time_box = program.find(name="用时间定位语音", role="text")
    program.click(time_box)
    program.key("ctrl+a")
    program.type(text)
    program.click(program.find(name="确定", role="label"))


def geometry(window_id):
    """(x, y, width, height) of the window, as xdotool reads it."""
    lines = dict(line.strip().split(": ", 1) for line in xdotool("getwindowgeometry", window_id).splitlines()[1:])
    x, y = lines["Position"].split()[0].split(",")
    width, height = lines["Geometry"].split("x")
    return int(x), int(y), int(width), int(height)


def open_colour_blocks(program, folder):
    """Loads a video of colour blocks from the main window: the main window and the video's."""
    recording = os.path.join(folder, "colours.mp4")
    write_colour_blocks(recording)
    main = program.main_window()
    program.activate(main)
    program.load_recording(recording)
    return main, program.window("colours.mp4")


def test_picture_follows_keys_time_and_rate(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        main, video = open_colour_blocks(program, folder)
        check(xdotool("getactivewindow") == main, "the main window keeps the keys")
        # Above the main window, so that its picture is on screen.
        program.open_menu_item(" 视频 ")
        program.open_menu_item("视频窗口总在最前")
        wait_for(lambda: "_NET_WM_STATE_ABOVE" in subprocess.run(["xprop", "-id", video, "_NET_WM_STATE"],
                                                                  capture_output=True, text=True).stdout,
                 "the video window above the others")
        # Out of the way of the time box, which it covers where it first opens on this screen.
        xdotool("windowmove", "--sync", video, "0", "520")
        position = lambda: program.player_property("time-pos")
        shown = lambda: colour_in_the_middle(video)
        hold = lambda: program.player("set_property", "pause", True)

        go_to_typed_time(program, "00:00:02")
        hold()
        wait_for(lambda: shown() == "red", lambda: f"red at 2 s, not {shown()}")
        check(2.0 <= position() < 5.0, f"still in the first block: {position()}")
        editor = program.find(name="文稿听打整理区", role="text")
        program.click(editor)
        program.key("F12")  # five seconds on: the second block
        wait_for(lambda: 7.0 <= position() < 8.0, lambda: f"playback at 7 s, not {position()}")
        hold()
        wait_for(lambda: shown() == "blue", lambda: f"blue at 7 s, not {shown()}")
        go_to_typed_time(program, "00:00:12")
        wait_for(lambda: shown() == "lime", lambda: f"green at 12 s, not {shown()}")

        # Twice the rate, from 3 s: the picture turns with the sound, not after it.
        go_to_typed_time(program, "00:00:03")
        hold()
        program.click(editor)
        wait_for(lambda: shown() == "red", "red at 3 s")
        program.key(*["ctrl+Up"] * 10)
        wait_for(lambda: program.player_property("speed") == 2.0, "the rate at 2.0")
        program.key("space")
        wait_for(lambda: shown() == "blue", "the picture to play on into the second block")
        turned_at = position()
        check(5.0 <= turned_at < 7.0, f"the picture turned blue with the sound at 5 s, not at {turned_at}")
        program.key("space")
        wait_for(lambda: program.player_property("pause") is True, "paused")
        paused_at = position()
        wait_for(lambda: shown() == block_at(paused_at), f"the picture of {paused_at} s while paused")
        check(position() == paused_at, "the position held while paused")

        # Typed into the picture's window, the keys reach the editor.
        program.activate(video)
        program.type("ab")
        wait_for(lambda: program.text(editor) == "ab", lambda: f"'ab' in the editor, not {program.text(editor)!r}")
        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "playing from the video window's key")


def stacking():
    """The managed windows from the bottom up, as the window manager stacks them."""
    told = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], capture_output=True, text=True).stdout
    return [int(window, 16) for window in told.split("#", 1)[1].replace(",", " ").split()]


def overlap(first, second):
    """The area two (x, y, width, height) rectangles share."""
    across = min(first[0] + first[2], second[0] + second[2]) - max(first[0], second[0])
    down = min(first[1] + first[3], second[1] + second[3]) - max(first[1], second[1])
    return max(across, 0) * max(down, 0)


def framed(window_id):
    """(x, y, width, height) of the window with the window manager's frame, as the X server has it."""
    info = dict(line.strip().split(": ", 1) for line in
                subprocess.run(["xwininfo", "-id", window_id], capture_output=True, text=True).stdout.splitlines()
                if ": " in line)
    told = subprocess.run(["xprop", "-id", window_id, "_NET_FRAME_EXTENTS"], capture_output=True, text=True).stdout
    left, right, top, bottom = (int(side) for side in told.split("=", 1)[1].split(","))
    return (int(info["Absolute upper-left X"]) - left, int(info["Absolute upper-left Y"]) - top,
            int(info["Width"]) + left + right, int(info["Height"]) + top + bottom)


def least_covered(screen, size, text):
    """The least of `text` a window of `size` covers anywhere on the screen (every
    8 pixels and at the screen's edges)."""
    def starts(length, room):
        return sorted(set(range(0, room - length + 1, 8)) | {max(room - length, 0)})
    return min(overlap((x, y, *size), text) for x in starts(size[0], screen[0]) for y in starts(size[1], screen[1]))


def test_stays_above_the_main_window_while_typing(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        main, video = open_colour_blocks(program, folder)
        transient = subprocess.run(["xprop", "-id", video, "WM_TRANSIENT_FOR"], capture_output=True, text=True).stdout
        check(transient.strip().endswith(hex(int(main))), f"a window of the main one: {transient!r}")
        # 320 × 240: the window takes the picture's shape, 640 × 480 inside its frame.
        wait_for(lambda: framed(video)[2:] == (642, 505), lambda: f"the picture's shape, not {framed(video)}")

        # Typing in the editor raises the main window; the picture stays above it.
        editor = program.find(name="文稿听打整理区", role="text")
        program.click(editor)
        program.type_into(editor, "ab")
        order = stacking()
        check(order.index(int(video)) > order.index(int(main)), f"the video window above the main one: {order}")
        states = subprocess.run(["xprop", "-id", video, "_NET_WM_STATE"], capture_output=True, text=True).stdout
        check("_NET_WM_STATE_ABOVE" not in states, "above other programs only when asked")
        check(xdotool("getactivewindow") == main, "the keys still go to the main window")

        # No room beside the main window on this screen: it covers the least of the text it can.
        extents = editor.get_extents(Atspi.CoordType.SCREEN)
        text = (extents.x, extents.y, extents.width, extents.height)
        screen = (1280, 1024)
        place = framed(video)
        check(overlap(place, (0, 0, *screen)) == place[2] * place[3], f"on the screen: {place}")
        least = least_covered(screen, place[2:], text)
        check(overlap(place, text) <= least, f"at {place} it covers {overlap(place, text)} px² of the text at "
                                             f"{text}, where {least} px² could be")


def test_audio_only_and_broken_picture(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        sound = os.path.join(folder, "sound.wav")
        write_wav(sound, 10)
        broken = os.path.join(folder, "broken.mp4")
        write_colour_blocks(broken, broken=True)
        program.activate(program.main_window())
        program.load_recording(sound)
        check(program.visible_window("sound.wav") is None, "no video window for a recording without a picture")

        program.load_recording(broken)
        program.window("broken.mp4")
        program.click(program.find(name="文稿听打整理区", role="text"))
        program.key("space")
        program.find(name=PROBLEM, role="label")
        check(program.player_property("pause") is False, "the sound plays on")
        heard = program.player_property("time-pos")
        wait_for(lambda: program.player_property("time-pos") > heard + 0.5, "the sound to go on")


def test_place_survives_a_restart(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "colours.mp4")
        write_colour_blocks(recording)
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            video = program.window("colours.mp4")
            xdotool("windowsize", "--sync", video, "480", "360")
            xdotool("windowmove", "--sync", video, "200", "150")
            wait_for(lambda: geometry(video)[2:] == (480, 360), lambda: f"the new size, not {geometry(video)}")
            placed = geometry(video)
            program.click(program.find(name="文稿听打整理区", role="text"))
            program.key("ctrl+shift+v")
            wait_for(lambda: program.window_gone(video), "the video window to hide")
        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            video = program.window("colours.mp4")
            wait_for(lambda: geometry(video) == placed, lambda: f"the window at {placed}, not {geometry(video)}")


if __name__ == "__main__":
    run([test_picture_follows_keys_time_and_rate, test_stays_above_the_main_window_while_typing,
         test_audio_only_and_broken_picture, test_place_survives_a_restart])
