-- reward_chime.lua: a reward chime against a moving, percentile threshold.
--
-- The threshold is not fixed: it is the 70th percentile of the Alpha values of
-- the last 30 seconds, so about 30 % of the time is rewardable whatever the
-- person's Alpha level. A reward rings the chime; at most one per second.
-- A slider chooses the percentile. Run it from the demo folder (build/demo).

pcall(tryLoadQuenterra)

local WINDOW_SECONDS = 30
local MIN_SECONDS = 5         -- no rewards before this much history
local RATE_LIMIT = 1.0        -- seconds between two rewards, at least
local percentile = 0.70

local cycle = getUpdateInterval()               -- seconds per update (0.1)
local windowSize = math.floor(WINDOW_SECONDS / cycle + 0.5)

-- A quiet bed, so the session is audible between rewards.
local bed = { loadOgg("sounds/ocean_waves.ogg") }
for _, channel in ipairs(bed) do slideAudioChannelVolume(channel, 0.25, 2.0) end

-- The chime file is a bell stroke followed by silence. With the loop point in
-- the silence the bell rings once, then loops silently; setting the position
-- back to 0 rings it again. Positions are set while the audio is paused.
local chime = { loadMp3("sounds/chime.mp3") }   -- an MP3 file always gives two channels
local silence = getAudioChannelSampleCount(chime[1]) - 12000   -- last 0.25 s
pauseAudio()
for _, channel in ipairs(chime) do
  setAudioChannelLoopPoint(channel, silence)
  setAudioChannelPosition(channel, silence)
  slideAudioChannelVolume(channel, 0.9, 0.01)
end
resumeAudio()

local function ring()
  pauseAudio()
  for _, channel in ipairs(chime) do setAudioChannelPosition(channel, 0) end
  resumeAudio()
end

-- The last 30 s of Alpha in a ring buffer.
local history, nextSlot, filled = {}, 1, 0
local function remember(value)
  history[nextSlot] = value
  nextSlot = nextSlot % windowSize + 1
  filled = math.min(filled + 1, windowSize)
end

local function percentileOfHistory(p)
  local sorted = {}
  for i = 1, filled do sorted[i] = history[i] end
  table.sort(sorted)
  return sorted[math.max(1, math.ceil(p * filled))]
end

-- Panel: a slider for the percentile and a status line.
addLabelInternal("Reward when Alpha beats this percentile of the last 30 s:", 20, 10, 0, 20)
local percentileText = addLabelInternal("", 180, 38, 120, 20)
local percentileSlider = addSliderInternal("Percentile", "", "", 20, 34, (percentile - 0.5) / 0.45)
local status = addLabelInternal("", 20, 74, 380, 20)

-- The slider runs from the 50th to the 95th percentile.
function FeltrixGuiMessageCallback(id, value)
  if id == percentileSlider then
    percentile = 0.5 + 0.45 * value / 1000
  end
end

local seconds, lastReward, rewards = 0, -RATE_LIMIT, 0

function FeltrixUpdateCallback()
  seconds = seconds + cycle
  local alpha = (leftAlphaValue + rightAlphaValue) / 2
  remember(alpha)

  local threshold = percentileOfHistory(percentile)
  local enoughHistory = filled * cycle >= MIN_SECONDS
  if enoughHistory and alpha > threshold and not artifact
     and seconds - lastReward >= RATE_LIMIT then
    lastReward = seconds
    rewards = rewards + 1
    ring()
  end

  setLabelTextInternal(percentileText, string.format("%dth", math.floor(percentile * 100 + 0.5)))
  if enoughHistory then
    setLabelTextInternal(status, string.format("Alpha %.1f µV, threshold %.1f µV, rewards %d",
      alpha / 10, threshold / 10, rewards))
  else
    setLabelTextInternal(status, "Collecting the first seconds of Alpha ...")
  end
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
