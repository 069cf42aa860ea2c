#pragma once

// The identifiers of iTunes' automation interface that Tessaly uses, shared by the player and
// by the test server that stands in for iTunes.

#include <oaidl.h>
#include <windows.h>

namespace tessaly::itunes {

inline constexpr wchar_t kProgId[] = L"iTunes.Application";
// iTunesApp, the application object.
inline constexpr CLSID kClsidApp = {
    0xDC0C2640, 0x1415, 0x4644, {0x87, 0x5C, 0x6F, 0x4D, 0x76, 0x98, 0x39, 0xBA}};
// _IiTunesEvents, the dispinterface of the application's events.
inline constexpr IID kDiidEvents = {
    0x5846EB78, 0x317E, 0x4B6F, {0xB0, 0xC3, 0x11, 0xEE, 0x8C, 0x8F, 0xEE, 0xF2}};

// The events' DISPIDs in _IiTunesEvents.
inline constexpr DISPID kOnPlayerPlayEvent = 2;
inline constexpr DISPID kOnPlayerPlayingTrackChangedEvent = 4;
inline constexpr DISPID kOnCOMCallsEnabledEvent = 7;
inline constexpr DISPID kOnQuittingEvent = 8;
inline constexpr DISPID kOnAboutToPromptUserToQuitEvent = 9;

} // namespace tessaly::itunes
