-- mpv's own counts of frames dropped, kept as they change and told as it ends.
local dropped = {["frame-drop-count"] = 0, ["decoder-frame-drop-count"] = 0}
for name in pairs(dropped) do
    mp.observe_property(name, "number", function(_, value) if value then dropped[name] = value end end)
end
mp.register_event("shutdown", function()
    io.stderr:write(string.format("dropped %d %d\n", dropped["frame-drop-count"], dropped["decoder-frame-drop-count"]))
end)
