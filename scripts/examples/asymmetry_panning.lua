-- asymmetry_panning.lua: left/right Alpha asymmetry heard as panning.
--
-- The sound moves toward the side whose Alpha rhythm is stronger: with equal
-- Alpha on both hemispheres it stays in the middle. A dot on a bar shows
-- where it is. Run it from the demo folder (build/demo).

pcall(tryLoadQuenterra)

local SENSITIVITY = 3       -- asymmetry of 1/3 pans fully to one side
local SMOOTHING = 0.2       -- share of a new value taken per update (0..1)

-- Both channels of the stereo drone get the same panning, so the sound
-- moves as one; it plays at a steady volume.
local drone = { loadWav("sounds/theta_drone.wav") }
for _, channel in ipairs(drone) do
  slideAudioChannelVolume(channel, 0.6, 1.0)
end

-- A bar with a dot: x from 20 to 320 is left to right.
local BAR_X, BAR_WIDTH = 20, 300
addLabelInternal("Alpha balance: the sound follows the stronger side", 20, 10, 0, 20)
addLabelInternal("Left", BAR_X, 40, 40, 20)
addLabelInternal("Right", BAR_X + BAR_WIDTH - 36, 40, 40, 20)
addRectangleInternal(BAR_X, 64, BAR_WIDTH, 8, 0x5000, 0x5400, 0x6000, 0, 0)
local dot = addRectangleInternal(BAR_X + BAR_WIDTH / 2 - 6, 60, 12, 16, 0xF000, 0xB000, 0x3000, 0, 1)
local values = addLabelInternal("", BAR_X, 84, 320, 20)

local balance = 0.5         -- smoothed panning, 0 = left .. 1 = right

function FeltrixUpdateCallback()
  local left, right = leftAlphaValue, rightAlphaValue
  -- Asymmetry: -1 (all left) .. +1 (all right); 0 without signal.
  local asymmetry = 0
  if left + right > 0 then asymmetry = (right - left) / (right + left) end

  local target = math.max(0, math.min(1, 0.5 + 0.5 * SENSITIVITY * asymmetry))
  balance = balance + SMOOTHING * (target - balance)
  for _, channel in ipairs(drone) do
    slideAudioChannelPanning(channel, balance, 0.15)
  end

  setGuiItemPositionInternal(dot, math.floor(BAR_X + balance * BAR_WIDTH - 6), 60)
  setLabelTextInternal(values, string.format("left %.1f µV   right %.1f µV   panning %.2f",
    left / 10, right / 10, balance))
end

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
