// MSXML 6.0's document class and interface, which the emulated services read documents with;
// mingw-w64 declares the interfaces but ships no msxml6 GUIDs.
#pragma once

#include <windows.h>

const CLSID kClsidDomDocument60 = {0x88D96A05,
                                   0xF192,
                                   0x11D4,
                                   {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};
const IID kIidXmlDomDocument2 = {0x2933BF95,
                                 0x7B36,
                                 0x11D2,
                                 {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
