-- Headless Ardour 7 session script used by render.sh (run with ardour7-lua).
--
--   ardour7-lua render.lua setup  SESSION_DIR NAME RATE BUNDLE_DIR CLASS_NAME PARAMS_FILE
--   ardour7-lua render.lua export SESSION_DIR NAME RATE SECONDS EXPORT_DIR PRESET_UUID
--                                 EXPECTED_NOTES EXPECTED_REGION_SAMPLES PARAMS_FILE
--
-- "setup" creates a new session on the "None (Dummy)" backend, adds a MIDI
-- track whose instrument is the VST 3 class CLASS_NAME from BUNDLE_DIR (or the
-- bundle's only instrument when CLASS_NAME is ""), prints the parameters as
-- Ardour sees them, writes their values to PARAMS_FILE and saves the session.
-- render.sh then adds the MIDI region to the saved session file.
-- "export" re-opens the session (so the plug-in state goes through a save and
-- restore), checks the region and its notes, checks the parameter values
-- survived the reload, and exports the master bus over [0, SECONDS).
--
-- Every failure raises a Lua error "FAIL[n]: message" (ardour7-lua then exits
-- with status 1); render.sh turns n into its own exit status:
--   3 plug-in not found, 4 plug-in failed to instantiate / not an instrument,
--   5 MIDI region problem, 6 session or export failure.

local TRACK = "VST3 Instrument"

local function fail(code, msg) error(string.format("FAIL[%d]: %s", code, msg), 0) end
local function say(...) print("RENDER: " .. string.format(...)) end

local function use_dummy_backend()
	local be = AudioEngine:set_backend("None (Dummy)", "", "")
	if not be or AudioEngine:current_backend_name() == "" then
		fail(6, "cannot select Ardour's \"None (Dummy)\" audio backend")
	end
end

local function instrument_of(track)
	local proc = track:the_instrument()
	if proc:isnil() then return nil end
	local ins = proc:to_insert()
	if ins:isnil() then return nil end
	return ins, ins:plugin(0)
end

local function param_rows(plugin)
	local rows = {}
	for i = 0, plugin:parameter_count() - 1 do
		local ok, desc = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
		local d = desc and desc[2]
		rows[#rows + 1] = {
			index = i,
			label = plugin:parameter_label(i),
			control = plugin:parameter_is_control(i),
			input = plugin:parameter_is_input(i),
			lower = d and d.lower, upper = d and d.upper, normal = d and d.normal,
		}
	end
	return rows
end

local function current_values(ins, plugin)
	local vals = {}
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_is_control(i) and plugin:parameter_is_input(i) then
			vals[i] = ARDOUR.LuaAPI.get_plugin_insert_param(ins, i, true)
		end
	end
	return vals
end

local function find_track()
	local r = Session:route_by_name(TRACK)
	if r:isnil() then fail(6, "track '" .. TRACK .. "' missing from the session") end
	local t = r:to_track()
	if t:isnil() or t:to_midi_track():isnil() then fail(6, "'" .. TRACK .. "' is not a MIDI track") end
	return t
end

-------------------------------------------------------------------------------
local function setup(dir, name, rate, bundle, class_name, params_file)
	use_dummy_backend()
	local s = create_session(dir, name, rate)
	if not s or not Session then fail(6, "cannot create an Ardour session in " .. dir) end
	say("session created: %s (%d Hz, backend %s)", dir, Session:nominal_sample_rate(), AudioEngine:current_backend_name())

	-- which classes of this bundle does Ardour know (from its VST3 scan cache, or for an LV2
	-- bundle from lilv's discovery, by the plug-in URI given as CLASS_NAME)?
	local prefix = bundle:gsub("/+$", "") .. "/"
	local lv2 = bundle:gsub("/+$", ""):sub(-4) == ".lv2"
	local ptype = lv2 and ARDOUR.PluginType.LV2 or ARDOUR.PluginType.VST3
	local classes, instruments = {}, {}
	for p in ARDOUR.LuaAPI.list_plugins():iter() do
		if p.type == ptype and ((lv2 and p.unique_id == class_name) or (not lv2 and p.path:sub(1, #prefix) == prefix)) then
			classes[#classes + 1] = p
			if p:is_instrument() then instruments[#instruments + 1] = p end
			say("bundle class: '%s' uid=%s category=%s vendor=%s instrument=%s",
				p.name, p.unique_id, p.category, p.creator, tostring(p:is_instrument()))
		end
	end
	if #classes == 0 then
		fail(3, "Ardour did not discover any VST3 class in " .. bundle ..
			" (bundle not found on the VST3 search path or its scan failed)")
	end

	local chosen
	if class_name ~= "" then
		for _, p in ipairs(classes) do
			if p.name == class_name or p.unique_id == class_name then chosen = p end
		end
		if not chosen then fail(3, "bundle has no VST3 class named '" .. class_name .. "'") end
		if not chosen:is_instrument() then
			fail(4, "VST3 class '" .. class_name .. "' is not an instrument for Ardour (category '" ..
				chosen.category .. "', needs a MIDI/event input and audio outputs)")
		end
	elseif #instruments == 1 then
		chosen = instruments[1]
	elseif #instruments == 0 then
		fail(4, "bundle contains no VST3 instrument class")
	else
		fail(3, "bundle contains " .. #instruments .. " instrument classes; pass the class name (PLUGIN_CLASS=...)")
	end
	say("using class '%s' (uid %s)", chosen.name, chosen.unique_id)

	-- A stereo MIDI track, then the instrument as its first plug-in (what a
	-- user does with "Add Track" + "New Plugin"). Passing the instrument to
	-- new_midi_track() directly makes Ardour 7.3 drop and re-register the
	-- track's output ports; under CPU load the deferred port deletion loses
	-- the race ("Port already exists: .../audio_out 1") and Ardour aborts.
	local tl = Session:new_midi_track(
		ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
		ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2),
		true, ARDOUR.PluginInfo(), nil, nil, 1, TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal,
		false, false)
	if tl:size() ~= 1 then fail(6, "Ardour could not create a MIDI track") end
	local track = find_track()
	ARDOUR.LuaAPI.usleep(100000)   -- let the auto-connect thread settle

	local proc = ARDOUR.LuaAPI.new_plugin(Session, chosen.unique_id, ptype, "")
	if proc:isnil() then
		fail(4, "plug-in '" .. chosen.name .. "' failed to instantiate in Ardour (new_plugin returned nil)")
	end
	if track:add_processor_by_index(proc, 0, nil, true) ~= 0 then
		fail(4, "Ardour could not insert '" .. chosen.name .. "' on the MIDI track (I/O configuration refused)")
	end
	ARDOUR.LuaAPI.usleep(100000)
	local ins, plugin = instrument_of(track)
	if not ins then
		fail(4, "plug-in '" .. chosen.name .. "' is on the track but Ardour does not treat it as its instrument")
	end
	if not ins:active() then fail(4, "plug-in insert is not active after instantiation") end
	local outs = ins:output_streams():n_audio()
	if outs < 1 then fail(4, "instrument has no audio outputs in Ardour") end
	track:to_midi_track():set_input_active(false)   -- nothing but the region feeds it

	say("plugin: name='%s' maker='%s' uid=%s audio-outs=%d",
		plugin:name(), plugin:maker(), plugin:unique_id(), outs)

	-- Factory presets as the host's preset menu sees them (PRESET_LIST: a file with one
	-- preset name per line), and one of them loaded before the session is saved (PRESET_LABEL).
	local list = os.getenv("PRESET_LIST")
	if list and list ~= "" then
		local found, total = 0, 0
		for line in io.lines(list) do
			if line ~= "" then
				total = total + 1
				local pr = plugin:preset_by_label(line)
				if pr and pr.valid then found = found + 1 else say("preset not listed: %s", line) end
			end
		end
		say("presets listed by Ardour: %d of %d", found, total)
	end
	local label = os.getenv("PRESET_LABEL")
	if label and label ~= "" then
		local pr = plugin:preset_by_label(label)
		if not (pr and pr.valid) then fail(6, "preset '" .. label .. "' is not in Ardour's preset list") end
		if not plugin:load_preset(pr) then fail(6, "preset '" .. label .. "' did not load") end
		say("loaded preset '%s'", label)
	end
	local sp = os.getenv("SET_PARAMS")
	if sp and sp ~= "" then
		for idx, val in sp:gmatch("(%d+)=([%d%.]+)") do
			ARDOUR.LuaAPI.set_plugin_insert_param(ins, tonumber(idx), tonumber(val))
			say("set param %s to %s", idx, val)
		end
		ARDOUR.LuaAPI.usleep(300000)
	end
	local rows = param_rows(plugin)
	local n_in = 0
	for _, r in ipairs(rows) do
		if r.control and r.input then n_in = n_in + 1 end
	end
	say("parameter count (Ardour parameter_count): %d, input controls: %d", #rows, n_in)
	for _, r in ipairs(rows) do
		say("param %3d %-8s %-24s range=[%s, %s] default=%s", r.index,
			(r.control and (r.input and "in" or "out") or "other"), r.label,
			tostring(r.lower), tostring(r.upper), tostring(r.normal))
	end

	local f = io.open(params_file, "w")
	for i, v in pairs(current_values(ins, plugin)) do
		f:write(string.format("%d %.9g\n", i, v))
	end
	f:close()

	if Session:save_state("", false, false, false, false, false) ~= 0 then
		fail(6, "Ardour could not save the session")
	end
	close_session()
	say("setup done")
end

-------------------------------------------------------------------------------
local function export(dir, name, rate, seconds, export_dir, preset, exp_notes, exp_len, params_file)
	use_dummy_backend()
	local s = load_session(dir, name)
	if not s or not Session then fail(6, "Ardour could not load the session " .. dir) end
	say("session loaded (%d Hz)", Session:nominal_sample_rate())

	local track = find_track()
	local ins, plugin = instrument_of(track)
	if not ins then fail(4, "plug-in failed to re-instantiate when the session was loaded") end

	-- plug-in state round trip: compare with what the fresh instance reported
	local before = {}
	for line in io.lines(params_file) do
		local i, v = line:match("^(%d+) (%S+)$")
		before[tonumber(i)] = tonumber(v)
	end
	local after = current_values(ins, plugin)
	local changed = 0
	for i, v in pairs(before) do
		local w = after[i]
		if w == nil or math.abs(w - v) > 1e-5 * math.max(1, math.abs(v)) then
			changed = changed + 1
			say("param %d '%s' was %s before save, %s after reload", i, plugin:parameter_label(i), tostring(v), tostring(w))
		end
	end
	local n_before = 0
	for _ in pairs(before) do n_before = n_before + 1 end
	if changed > 0 then
		-- Ardour 7.3 shows a fresh VST3 instance's ParameterInfo default values;
		-- after a reload it shows the values from the plug-in's saved state.
		-- A difference means the two disagree (defaults != initial processor
		-- state) or that state save/restore is broken.
		local msg = changed .. " of " .. n_before .. " parameter value(s) differ between the fresh instance and the reloaded session"
		if os.getenv("STATE_CHECK") == "strict" then fail(4, msg) end
		say("WARNING: %s (STATE_CHECK=strict makes this fatal)", msg)
	else
		say("plug-in state round trip: %d input parameter values unchanged after save/reload", n_before)
	end

	-- the instrument must reach the master bus, or the export is silent
	local master = Session:master_out()
	if master:isnil() then fail(6, "session has no master bus") end
	local n_out = track:output():n_ports():n_audio()
	local linked = 0
	for i = 0, n_out - 1 do
		local port = track:output():audio(i)
		for j = 0, master:input():n_ports():n_audio() - 1 do
			if port:connected_to(master:input():audio(j):name()) then linked = linked + 1 break end
		end
	end
	if linked == 0 then fail(6, "the track's audio outputs are not connected to the master bus") end
	say("track outputs: %d audio, %d connected to the master bus", n_out, linked)

	-- the MIDI region and its notes, as Ardour loaded them
	local regions = track:playlist():region_list()
	if regions:size() ~= 1 then fail(5, "expected 1 region on the MIDI track, found " .. regions:size()) end
	local region
	for r in regions:iter() do region = r end
	local mr = region:to_midiregion()
	if mr:isnil() then fail(5, "the region on the track is not a MIDI region") end
	local notes = ARDOUR.LuaAPI.note_list(mr:model()):size()
	local pos = region:position():samples()
	local len = region:length():samples()
	say("MIDI region '%s': position=%d length=%d samples (%.3f s), notes=%d",
		region:name(), pos, len, len / rate, notes)
	if notes == 0 then fail(5, "the MIDI region has no notes (MIDI import failed)") end
	if notes ~= exp_notes then
		say("WARNING: MIDI file has %d note-ons but Ardour's region has %d notes", exp_notes, notes)
	end
	if pos ~= 0 or math.abs(len - exp_len) > rate / 1000 then
		fail(5, string.format("region is at %d+%d samples, expected 0+%d (tempo/timing mismatch)", pos, len, exp_len))
	end

	-- export the master bus
	local e = Session:simple_export()
	if not e:set_preset(preset) then fail(6, "export preset " .. preset .. " not found") end
	e:set_folder(export_dir)
	e:set_name("render")
	local n = math.floor(seconds * rate + 0.5)
	e:set_range(0, n)
	if not e:check_outputs() then fail(6, "export has no output channels (master bus missing?)") end
	local t0 = ARDOUR.LuaAPI.monotonic_time()
	if not e:run_export() then fail(6, "Ardour's export failed") end
	say("export finished: %d samples in %.2f s", n, (ARDOUR.LuaAPI.monotonic_time() - t0) / 1e6)
	close_session()
end

-------------------------------------------------------------------------------
local mode = arg[1]
if mode == "setup" and #arg == 7 then
	setup(arg[2], arg[3], tonumber(arg[4]), arg[5], arg[6], arg[7])
elseif mode == "export" and #arg == 10 then
	export(arg[2], arg[3], tonumber(arg[4]), tonumber(arg[5]), arg[6], arg[7],
		tonumber(arg[8]), tonumber(arg[9]), arg[10])
else
	fail(2, "usage: render.lua setup DIR NAME RATE BUNDLE CLASS PARAMS_FILE | " ..
		"export DIR NAME RATE SECONDS EXPORT_DIR PRESET NOTES REGION_SAMPLES PARAMS_FILE")
end
