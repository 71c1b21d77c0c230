#pragma once

// Limits that the hotkeys and the recorder must agree on.
namespace RecordingLimits {

// A press or recording this short (seconds) or shorter is a slip of the
// finger: the hotkeys cancel it, the recorder sends nothing.
inline constexpr double minimumDuration = 0.5;

}  // namespace RecordingLimits
