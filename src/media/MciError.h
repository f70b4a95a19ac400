#pragma once
// The error numbers of the media commands, with the Windows Media Control
// Interface's meanings: the parser and the devices answer with them.

namespace MciError {
enum : int {
    None = 0,
    UnrecognizedKeyword = 259,
    UnrecognizedCommand = 261,
    InvalidDeviceName = 263,    // alias not open, or unknown device type
    CannotLoadDriver = 266,     // the decoder is missing (e.g. no MIDI soundfont)
    MissingParameter = 273,
    UnsupportedFunction = 274,
    FileNotFound = 275,
    DeviceTypeRequired = 287,
    DuplicateAlias = 289,
    BadInteger = 270,
    InvalidFile = 296,          // the file exists but cannot be decoded
    DeviceNotReady = 276,
    ExtraCharacters = 305,
    NoWindow = 346,             // the window handle names no window
};
}
