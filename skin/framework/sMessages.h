// The engine command message and its sub-commands: how the skin manager,
// forms, controls and window adapters talk to each other. The message is an
// ordinary window message, so plain windows that know nothing of the engine
// simply answer 0. Pure: builds natively.
//
// Encoding: WParam high word = sub-command, WParam low word = a small
// argument (0 or 1), LParam = pointer or value per sub-command.
#pragma once

#include <cstdint>

#include "toolkit/Messages.h"

namespace kx {

// The number sent and compared is always this one; the name is registered at
// start-up only so that other programs can find it.
constexpr uint32_t SM_KESTRIXCMD = 0xA100;
constexpr const wchar_t* SM_KESTRIXCMD_NAME = L"SM_KESTRIXCMD";

constexpr uint16_t KX_SKINLOADED = 1;
constexpr uint16_t KX_SKINREMOVED = 2;
constexpr uint16_t KX_SKINREFRESH = 3;
constexpr uint16_t KX_QUERYPROVIDER = 4;
constexpr uint16_t KX_PARENTPAINT = 5;
constexpr uint16_t KX_PARENTUPDATED = 6;
constexpr uint16_t KX_QUERYHANDLED = 7;
constexpr uint16_t KX_SETUPDATING = 8;
constexpr uint16_t KX_SETURGENT = 9;
constexpr uint16_t KX_QUERYUPDATING = 10;
constexpr uint16_t KX_QUERYHALFVISIBLE = 11;
constexpr uint16_t KX_TRANSPARENTCHANGED = 12;
constexpr uint16_t KX_SECTIONCHANGED = 13;
constexpr uint16_t KX_MENUSHOWN = 14;
constexpr uint16_t KX_STOPFADE = 16;
constexpr uint16_t KX_BGCHANGED = 17;
constexpr uint16_t KX_REPAINTNOW = 18;
constexpr uint16_t KX_QUERYVARYINGBG = 19;
constexpr uint16_t KX_CHECKMOVED = 20;
constexpr uint16_t KX_QUERYCOLOR = 21;
constexpr uint16_t KX_SETHALFVISIBLE = 22;
constexpr uint16_t KX_BUILDCACHE = 23;
constexpr uint16_t KX_FADEFRAME = 24;
constexpr uint16_t KX_CONTROLADDED = 25;
constexpr uint16_t KX_QUERYSKININDEX = 26;
constexpr uint16_t KX_QUERYEXTRA = 27;
constexpr uint16_t KX_ADOPTWINDOWS = 28;
constexpr uint16_t KX_MOUSEIN = 29;
constexpr uint16_t KX_MOUSEOUT = 30;
constexpr uint16_t KX_UPDATEBEGUN = 31;
constexpr uint16_t KX_UPDATEENDED = 32;
constexpr uint16_t KX_QUERYBACKGROUND = 34;
constexpr uint16_t KX_QUERYSKINSTATE = 36;
constexpr uint16_t KX_BORDERSMOVED = 37;
constexpr uint16_t KX_SCROLLSTART = 51;
constexpr uint16_t KX_SCROLLDONE = 52;
constexpr uint16_t KX_QUERYAPPLICATION = 60;
constexpr uint16_t KX_QUERYCLIENTOFFSET = 61;

// Window messages the skin manager's application hook answers with 1 after
// painting a popup menu's border: for the menu item LParam, and for the menu
// window LParam.
constexpr uint32_t SM_PAINTMENUITEMBORDER = 0xBCB3;
constexpr uint32_t SM_PAINTMENUBORDER = 0xBCB4;

constexpr uintptr_t CommandWParam(uint16_t Command, uint16_t Arg = 0) {
  return (static_cast<uintptr_t>(Command) << 16) | Arg;
}

inline tk::TMessage MakeCommand(uint16_t Command, intptr_t LParam = 0, uint16_t Arg = 0) {
  return tk::MakeMessage(SM_KESTRIXCMD, CommandWParam(Command, Arg), LParam);
}

// The sub-command of an engine command message, 0 for any other message.
inline uint16_t CommandOf(const tk::TMessage& Message) { return Message.Msg == SM_KESTRIXCMD ? Message.WParamHi() : 0; }

}  // namespace kx
