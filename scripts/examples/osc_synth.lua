-- osc_synth.lua: left/right Alpha drive a synthesiser over Open Sound Control.
--
-- Every update sends one OSC bundle with two parameters: left Alpha sets the
-- pitch (/feltrix/freq, 200..800 Hz), right Alpha the loudness (/feltrix/amp,
-- 0..1). docs/osc_synth.scd is a SuperCollider patch that plays them; to see
-- the messages instead, run `oscdump 57120` (liblo-tools) and this script.
-- Feltrix itself plays nothing here.

pcall(tryLoadQuenterra)

-- The targets the Host button steps through, and the first port (57120 is
-- SuperCollider's language port).
local HOSTS = { "127.0.0.1", "localhost" }
local PORT = 57120
local ALPHA_FULL = 200      -- Alpha value (tenths of a microvolt) for the top of a range
local SMOOTHING = 0.3       -- share of a new value taken per update (0..1)

local hostIndex, port, sending = 1, PORT, true
local freq, amp = 200, 0

local function clamp01(x) return math.max(0, math.min(1, x)) end

-- The panel: the target as labels with buttons, on/off, what happened last.
addLabelInternal("Left Alpha -> pitch, right Alpha -> loudness, over OSC", 20, 10, 0, 20)
local hostLabel = addLabelInternal("", 20, 42, 200, 20)
local hostButton = addPushButtonInternal("Host", 230, 40, 70, 24)
local portLabel = addLabelInternal("", 20, 72, 200, 20)
local portButtons = {
  [addPushButtonInternal("-100", 230, 70, 44, 24)] = -100,
  [addPushButtonInternal("-1", 278, 70, 36, 24)] = -1,
  [addPushButtonInternal("+1", 318, 70, 36, 24)] = 1,
  [addPushButtonInternal("+100", 358, 70, 44, 24)] = 100,
}
local onOff = addCheckboxInternal("Send OSC", 20, 102)
local valuesLabel = addLabelInternal("", 20, 136, 380, 20)
local statusLabel = addLabelInternal("", 20, 160, 380, 20)

local shown = {}
local function show(label, text)
  if shown[label] ~= text then setLabelTextInternal(label, text) shown[label] = text end
end

local function showTarget()
  show(hostLabel, "Host: " .. HOSTS[hostIndex])
  show(portLabel, "Port: " .. port)
end
showTarget()

function FeltrixGuiMessageCallback(id, value)
  if id == hostButton then
    hostIndex = hostIndex % #HOSTS + 1
  elseif portButtons[id] then
    port = math.max(1, math.min(65535, port + portButtons[id]))
  elseif id == onOff then
    sending = value
  end
  showTarget()
end
checkCheckboxInternal(onOff, sending)   -- after the callback: it calls it

function FeltrixUpdateCallback()
  freq = freq + SMOOTHING * (200 + 600 * clamp01(leftAlphaValue / ALPHA_FULL) - freq)
  amp = amp + SMOOTHING * (clamp01(rightAlphaValue / ALPHA_FULL) - amp)
  show(valuesLabel, string.format("freq %.0f Hz   amp %.2f", freq, amp))
  if not sending then
    show(statusLabel, "Not sending")
    return
  end
  -- One bundle: the synthesiser takes both values at once. Network trouble
  -- is no error: the reason is shown and the next update tries again.
  local ok, why = oscSendBundle(HOSTS[hostIndex], port, {
    { "/feltrix/freq", freq },
    { "/feltrix/amp", amp },
  })
  show(statusLabel, ok and "Sending" or ("Not sent: " .. why))
end

function FeltrixSaveConfig()
  local text = string.format("-- Feltrix configuration file\nreturn { host = %q, port = %d, sending = %s }\n",
    HOSTS[hostIndex], port, tostring(sending))
  local ok, message = pcall(saveConfig, text)
  if not ok then messageBox(message) end
end

function FeltrixLoadConfig()
  local path = openFileDialogConfig()
  if path == nil then return end
  local ok, settings = pcall(loadConfig, path)
  if not ok or type(settings) ~= "table" then messageBox("Not a settings file of this example.") return end
  for i, host in ipairs(HOSTS) do if host == settings.host then hostIndex = i end end
  port = math.max(1, math.min(65535, tonumber(settings.port) or PORT))
  sending = settings.sending ~= false
  checkCheckboxInternal(onOff, sending)
  showTarget()
end

function FeltrixOpenCustomScript()
  local path = openFileDialogScript()
  if path == nil then return end
  resetAudio()
  resetGuiInternal()
  local ok, message = pcall(dofile, path)
  if not ok then messageBox("The script failed: " .. tostring(message)) end
end
