-- Run by ardour7-lua (tools/test-deb-install.sh): loads the empty session in
-- SESS_DIR, prints every VST 3 plug-in Ardour's plug-in manager found on its
-- search path with where it found it, and inserts PLUGIN_NAME on a new bus.
local be = AudioEngine:set_backend("None (Dummy)", "", "")
be:set_device_name("Silence")
assert(load_session(os.getenv("SESS_DIR"), os.getenv("SESS_NAME")), "could not load the session")
for p in ARDOUR.LuaAPI.list_plugins():iter() do
  if p.type == ARDOUR.PluginType.VST3 then
    print("ardour: VST3 " .. p.name .. " by " .. p.creator .. " at " .. p.path)
  end
end
local route = Session:new_audio_route(2, 2, nil, 1, "FX", ARDOUR.PresentationInfo.Flag.AudioBus,
                                      ARDOUR.PresentationInfo.max_order):front()
local fx = ARDOUR.LuaAPI.new_plugin(Session, os.getenv("PLUGIN_NAME"), ARDOUR.PluginType.VST3, "")
assert(not fx:isnil(), "Ardour cannot instantiate " .. os.getenv("PLUGIN_NAME"))
assert(route:add_processor_by_index(fx, 0, nil, true) == 0, "Ardour cannot insert the plug-in")
print("ardour: inserted " .. fx:display_name())
close_session()
