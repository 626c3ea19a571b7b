#pragma once

#include <cstdint>

namespace glidra::evdev {

// The numbers of the Linux input event interface that the reader and the
// assembler need. Named in our own style rather than as the kernel's macros:
// the live adapter includes the system headers too, and those define the
// kernel names as macros.

// Event types
inline constexpr std::uint16_t kEvSyn = 0x00;
inline constexpr std::uint16_t kEvKey = 0x01;
inline constexpr std::uint16_t kEvRel = 0x02;
inline constexpr std::uint16_t kEvAbs = 0x03;
inline constexpr std::uint16_t kEvMsc = 0x04;

// EV_SYN codes
inline constexpr std::uint16_t kSynReport = 0x00;
inline constexpr std::uint16_t kSynConfig = 0x01;
inline constexpr std::uint16_t kSynMtReport = 0x02;
inline constexpr std::uint16_t kSynDropped = 0x03;

// EV_ABS codes
inline constexpr std::uint16_t kAbsX = 0x00;
inline constexpr std::uint16_t kAbsY = 0x01;
inline constexpr std::uint16_t kAbsPressure = 0x18;
inline constexpr std::uint16_t kAbsToolWidth = 0x1c;
inline constexpr std::uint16_t kAbsMtSlot = 0x2f;
inline constexpr std::uint16_t kAbsMtTouchMajor = 0x30;
inline constexpr std::uint16_t kAbsMtPositionX = 0x35;
inline constexpr std::uint16_t kAbsMtPositionY = 0x36;
inline constexpr std::uint16_t kAbsMtTrackingId = 0x39;
inline constexpr std::uint16_t kAbsMtPressure = 0x3a;
inline constexpr std::uint16_t kAbsMtDistance = 0x3b;
inline constexpr std::uint16_t kAbsMax = 0x3f;

// EV_KEY codes
inline constexpr std::uint16_t kBtnLeft = 0x110;
inline constexpr std::uint16_t kBtnRight = 0x111;
inline constexpr std::uint16_t kBtnMiddle = 0x112;
inline constexpr std::uint16_t kBtnToolFinger = 0x145;
inline constexpr std::uint16_t kBtnToolQuinttap = 0x148;
inline constexpr std::uint16_t kBtnTouch = 0x14a;
inline constexpr std::uint16_t kBtnToolDoubletap = 0x14d;
inline constexpr std::uint16_t kBtnToolTripletap = 0x14e;
inline constexpr std::uint16_t kBtnToolQuadtap = 0x14f;

// Input properties (INPUT_PROP_*)
inline constexpr std::uint16_t kPropPointer = 0x00;
inline constexpr std::uint16_t kPropDirect = 0x01;
inline constexpr std::uint16_t kPropButtonpad = 0x02;
inline constexpr std::uint16_t kPropSemiMt = 0x03;
inline constexpr std::uint16_t kPropTopbuttonpad = 0x04;
inline constexpr std::uint16_t kPropPointingStick = 0x05;
inline constexpr std::uint16_t kPropAccelerometer = 0x06;
inline constexpr std::uint16_t kPropPressurepad = 0x07;

// A tracking id of -1 frees the current slot.
inline constexpr std::int32_t kFreeTrackingId = -1;

}  // namespace glidra::evdev
