-- minimal.lua: the smallest useful neurofeedback script.
-- One sound, one value: the stronger the left Alpha rhythm, the louder the pad.
--
-- Run it from the demo folder (build/demo), where sounds/ is: copy it there
-- as FeltrixInit.lj, or open it with File > Open Custom Script.

-- Connect to the acquisition program. Without it every value stays 0, and
-- the error is caught so the script still runs.
pcall(tryLoadQuenterra)

-- A stereo file loads into two channels; the loader returns both numbers.
-- Channels loop endlessly and start silent (volume 0).
local pad = { loadOgg("sounds/calm_pad.ogg") }

-- Called every update cycle (every 100 ms), after Feltrix has published the
-- newest values as globals. leftAlphaValue is in units of 0.1 microvolt:
-- 300 is a strong Alpha rhythm.
function FeltrixUpdateCallback()
  local strength = math.min(leftAlphaValue / 300, 1)
  local volume = 0.1 + 0.9 * strength     -- a quiet floor, so you hear it runs
  for _, channel in ipairs(pad) do
    slideAudioChannelVolume(channel, volume, 0.3)  -- glide there in 0.3 s
  end
end

-- The File menu calls these three; every script needs them.
function FeltrixSaveConfig() messageBox("This example has no settings to save.") end
function FeltrixLoadConfig() messageBox("This example has no settings to load.") end
function FeltrixOpenCustomScript()
  local path = openFileDialogScript()
  if path == nil then return end
  resetAudio()
  resetGuiInternal()
  local ok, message = pcall(dofile, path)
  if not ok then messageBox("The script failed: " .. tostring(message)) end
end
