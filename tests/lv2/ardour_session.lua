-- Calvorin (LV2, by its URI) on a stereo track of a headless Ardour 7 session,
-- run by ardour7-lua. SESSION_DIR and SESSION_NAME name the session.
--   MODE=build  makes the session, sets PORTS ("Name=value;..." by the
--               ports' names) and saves it;
--   MODE=read   loads the saved session.
-- Both print every control input as "port NAME=VALUE" and end with "done".
local dir, name, mode = os.getenv("SESSION_DIR"), os.getenv("SESSION_NAME"), os.getenv("MODE")
-- The dummy backend, running, so the new track is connected to the master bus.
AudioEngine:set_backend("None (Dummy)", "", ""):set_device_name("Silence")
local fx
if mode == "build" then
  assert(create_session(dir, name, 48000), "could not create the session")
  local track = Session:new_audio_track(2, 2, nil, 1, "Audio", ARDOUR.PresentationInfo.max_order,
                                        ARDOUR.TrackMode.Normal, true):front()
  fx = ARDOUR.LuaAPI.new_plugin(Session, os.getenv("PLUGIN_URI"), ARDOUR.PluginType.LV2, "")
  assert(not fx:isnil(), "no LV2 plug-in " .. os.getenv("PLUGIN_URI"))
  assert(track:add_processor_by_index(fx, 0, nil, true) == 0, "the plug-in was not inserted")
else
  assert(load_session(dir, name), "could not load the session")
  fx = Session:route_by_name("Audio 1"):nth_plugin(0)
  assert(not fx:isnil(), "the reloaded track has no plug-in")
end
local wanted = {}
for pair in string.gmatch(os.getenv("PORTS") or "", "[^;]+") do
  local k, v = string.match(pair, "^(.-)=(.*)$")
  wanted[k] = tonumber(v)
end
local plug = fx:to_insert():plugin(0)
for j = 0, plug:parameter_count() - 1 do
  if plug:parameter_is_control(j) and plug:parameter_is_input(j) then
    local label = plug:parameter_label(j)
    local control = fx:to_automatable():automation_control(
      Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, j), false)
    if wanted[label] then control:set_value(wanted[label], PBD.GroupControlDisposition.NoGroup) end
    print(string.format("port %s=%.9g", label, control:get_value()))
  end
end
if mode == "build" then
  Session:save_state("", false, false, false, false, false)
end
close_session()
print("done")
