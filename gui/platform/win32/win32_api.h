#pragma once
// The Win32 headers as this driver includes them. windows.h spells some functions as
// macros whose names the toolkit's methods share (TGadget::SetProp would become SetPropW
// in one file and not in another), so those macros go; the driver calls the W forms.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#undef SetProp
#undef GetProp
#undef RemoveProp
