// The platform layer: everything the game needs of the machine it runs on.
//
// The game's own code calls only the functions declared here. Behind them sits one backend of
// the system the game runs on (platform/driver.h): SDL2 and libcurl on Linux (platform/sdl/),
// Win32, WASAPI, DirectInput and WinINet on Windows (platform/win32/), the page's canvas, sound
// graph and fetch in the browser (platform/web/); or, in tests, the virtual one (platform/virtual/:
// a virtual clock driven by the test, injected keys, every call recorded). The message loop and
// the typing rule (platform/core/) and the sound operations (platform/sound/) are the same code
// under all of them. Files are the host's files in each. No system type appears above platform/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------------------------
// Backend selection

// The system's backend (SDL, Win32 or the browser's), or the virtual one of the tests.
enum PlatformKind { kPlatformReal = 0, kPlatformVirtual = 1 };

// Selects the backend of the system this build is for; the virtual one is selected by
// VirtualReset (platform/virtual/virtual.h). Call a selector before any other platform call (the
// files below work without one).
void PlatformSelectReal();
PlatformKind PlatformSelected();

// ---------------------------------------------------------------------------------------------
// The process's environment

// The value of the environment variable `name`, "" where it is unset.
std::string PlatformEnvironment(const char* name);

// ---------------------------------------------------------------------------------------------
// Why a platform call failed

// The reason the last failed platform call gave ("" while none has failed): the backends fill it
// from SDL, libcurl, WASAPI, WinINet or the system. It is not cleared by calls that succeed.
const char* PlatformLastError();
// Records the reason of a failure (backends only), printf-style.
void PlatformSetLastError(const char* format, ...);
// Forgets the last reason, before a step whose failure will be reported. Opening the sound device
// and an HTTP request start afresh by themselves.
void PlatformClearLastError();
// Writes "tapdash: <what>: <the last reason>" to standard error, for a player's bug report.
void PlatformReportError(const char* what);

// ---------------------------------------------------------------------------------------------
// Window messages. The platform's message loop hands these to the window's handler, one at a
// time, on the main thread.

enum PlatformMessageType {
    kMsgInitDialog = 1,  // the window exists and is about to be shown
    kMsgKeyDown,         // wParam: the key's code (platform/key_codes.h)
    kMsgKeyUp,           // wParam: the code its key-down had
    kMsgPaint,           // the window must be painted
    kMsgTimer,           // wParam: timer identifier
    kMsgSysCommand,      // wParam: system-menu command (kSysCommandAbout)
    kMsgActivate,        // wParam: 1 when the window becomes active, 0 when it loses activation
    kMsgClose,           // the user or the program asked the window to close
    kMsgDestroy,         // the window is being destroyed; the loop ends after it
};

enum { kMsgFlagShift = 1 };

// The About command of the window's system menu (and of Alt+A), as kMsgSysCommand's wParam.
constexpr int kSysCommandAbout = 16;  // Shift was held when the key went down

struct PlatformMessage {
    int type;
    int wParam;
    int flags = 0;
};

// The window's handler: receives every message of the window.
typedef void (*PlatformMessageHandler)(const PlatformMessage& msg);

// Creates the one main window (not resizable, client area width x height pixels), delivers
// kMsgInitDialog, shows it and runs the message loop until the window is destroyed. In that
// loop, in this order of priority: every pending key-down and key-up in arrival order, then a
// pending paint, then a due timer tick. After a handler that blocked, at most one tick per timer
// is delivered; missed ticks are not made up. Returns when kMsgDestroy has been handled.
// On the virtual backend this only creates the window and delivers kMsgInitDialog; the test then
// drives the loop with VirtualRunFor (platform/virtual/virtual.h).
void PlatformRunWindow(const char* title, int width, int height, PlatformMessageHandler handler);

// Asks the window to close (as WM_CLOSE): the loop delivers kMsgClose, then kMsgDestroy, and ends.
// A kMsgClose that reaches the handler is accepted by calling PlatformDestroyWindow.
void PlatformPostClose();
void PlatformDestroyWindow();

// Periodic timer on the main window. Returns 1 on success, 0 on failure.
int PlatformSetTimer(int id, int periodMs);
void PlatformKillTimer(int id);

// Whether Shift is held at the moment of the key-down being handled.
int PlatformIsShiftDown();

// A 24-bit picture, rows bottom-up, 3 bytes a pixel in blue, green, red order, each row padded
// to a multiple of 4 bytes (the layout of a Windows bitmap).
struct PlatformImage {
    int width;
    int height;
    const uint8_t* pixels;
};

// Paints the picture stretched over the whole client area. Only during kMsgPaint.
void PlatformPaintImage(const PlatformImage& image);
// Sets the window's icon (big and small).
void PlatformSetWindowIcon(const PlatformImage& big, const PlatformImage& small);

// A modal message box with one OK button, owned by the main window (or none). Returns when
// the user has closed it.
void PlatformMessageBox(const char* caption, const char* text);
// The modal About box: caption, then the lines of its text, closed with OK, Enter or Escape.
void PlatformAboutBox(const char* caption, const char* const* lines, int lineCount);

// ---------------------------------------------------------------------------------------------
// Program folder and files, the same in every backend of one system (platform/posix/, and
// platform/win32/ on Windows). Relative names inside the program folder use the backslash as
// separator ("menu\start_game.vgz"); every function below maps backslashes to the host's
// separator and, where a path does not exist exactly, matches each path component without
// regard to letter case.

// The folder of the running executable, with its trailing separator. Empty on failure.
std::string PlatformProgramDir();

// The program folder the game's files are read from and written to, with its trailing
// separator: start-up keeps PlatformProgramDir's answer here (a test, a folder of its own), and
// every reader of a data file puts it before the file's relative name.
extern std::string g_programDir;

typedef struct PlatformFileTag* PlatformFile;  // null = not open

// Opens an existing file for reading (others may read it too). Null on failure.
PlatformFile PlatformOpenRead(const char* path);
// Opens an existing file for writing, without creating or truncating it. Null on failure.
PlatformFile PlatformOpenWriteExisting(const char* path);
// One read of up to maxBytes at the current position. Bytes read (0 at the end), -1 on error.
long PlatformRead(PlatformFile file, void* buffer, size_t maxBytes);
// Writes all bytes at the current position. Bytes written, -1 on error.
long PlatformWrite(PlatformFile file, const void* data, size_t bytes);
// Flushes what was written to the file down to the disk. 1 on success, 0 on failure.
int PlatformFlush(PlatformFile file);
void PlatformClose(PlatformFile file);
// Replaces the content of an existing file as one step: the new bytes go to a temporary file in
// the same folder, are flushed to disk and renamed over the old file, keeping its permissions.
// The file is then either wholly old or wholly new, whatever happens meanwhile. Returns 1 on
// success, 0 when the file does not exist, is not writable or any step failed (the old file
// then stays as it was).
int PlatformReplaceFile(const char* path, const void* data, size_t bytes);
// Writes the whole file as one step, as PlatformReplaceFile does, creating it (with the mode new
// files get) when it does not exist yet. Returns 1 on success, 0 on failure (an old file then
// stays as it was).
int PlatformWriteFile(const char* path, const void* data, size_t bytes);
// The player's own folder for the game's files when the program folder cannot be written, with
// its trailing separator: $XDG_DATA_HOME/tapdash/ (by default ~/.local/share/tapdash/) on POSIX
// systems, %APPDATA%\Tapdash\ on Windows. Empty in the browser, whose storage keeps the program
// folder's files, and where the system names no such folder.
std::string PlatformPlayerDataDir();
// Whether this program may create files in the folder `dir`: a file is made there and removed
// again. A folder whose owner may not write it counts as read-only for everyone, as a file does.
bool PlatformFolderWritable(const std::string& dir);
// Makes the folder `dir` and any missing folder above it, each for its owner alone (on Windows
// by the rights the folder above passes on). True when it exists afterwards.
bool PlatformMakePrivateFolder(const std::string& dir);
// Creates an empty file at `path` where nothing is; an existing file is never touched. True when
// a file is there afterwards.
bool PlatformCreateEmptyFile(const char* path);
// The host path that a name resolves to (separators mapped, letter case matched), for tools
// and tests. Returns the mapped path even when nothing exists there.
std::string PlatformResolvePath(const char* path);
// Advice that `bytes` of memory at `memory` will be filled in large pieces and kept for the whole
// run (such as the buffer that sound files are read into): the system may then back them with
// large pages, touched once per 2 MB instead of once per 4 KB. Changes nothing else.
constexpr size_t kPlatformLargePageBytes = size_t{2} << 20;
// The alignment a program's static data may ask for: a large page, but on Windows, whose
// executables cannot align static data that far, 64 bytes.
#ifdef _WIN32
constexpr size_t kPlatformStaticAlignment = 64;
#else
constexpr size_t kPlatformStaticAlignment = kPlatformLargePageBytes;
#endif
void PlatformAdviseLargePages(void* memory, size_t bytes);

// ---------------------------------------------------------------------------------------------
// The console, for the tools: text in UTF-8 whatever code page the console uses (platform/posix/,
// and platform/win32/ on Windows, like the files).

// Reads one line of standard input into `line`, without its line end. Typed at a console, the
// line arrives as UTF-8 whatever the console's code page; from a pipe or a file its bytes are
// taken as they are. False at the end of input (at a Windows console also Ctrl+Z and Enter).
bool PlatformReadLine(std::string* line);
// Writes UTF-8 text to standard output; a console shows the same characters.
void PlatformWriteText(const std::string& text);
// True when the console closes as soon as this program ends: on Windows, one that was made for
// it alone, as when it was started from the Start menu, and its last lines vanish unheard.
bool PlatformConsoleEndsWithProgram();

// ---------------------------------------------------------------------------------------------
// Time

// Milliseconds on the backend's clock (the virtual clock on the virtual backend).
uint64_t PlatformNowMs();
// Blocks the main thread for ms milliseconds; nothing is handled meanwhile.
void PlatformSleep(int ms);
// Gives the processor away for about a millisecond (used between status polls).
void PlatformYield();

// ---------------------------------------------------------------------------------------------
// Sound device and buffers, with the semantics of a DirectSound secondary buffer.

// Result codes: 0 is success, a positive value a success that carries information, a negative
// value a failure. Callers test as their own rules say.
enum {
    kAudioOk = 0,
    kAudioSubstituted = 1,  // a 3D buffer was created, but not with the requested algorithm
    kAudioErrInvalidParam = -1,
    kAudioErrBadFormat = -2,
    kAudioErrNoDevice = -3,
    kAudioErrOutOfMemory = -4,
    kAudioErrGeneric = -5,
};

// Buffer creation flags (the meaning of DirectSound's).
enum {
    kBufferStatic = 0x02,
    kBufferCtrl3D = 0x10,
    kBufferCtrlPan = 0x40,
    kBufferCtrlVolume = 0x80,
};

// Play flags.
enum { kPlayLooping = 1 };

// Status bits: 1 playing, 4 looping (so 5 while playing and looping).
enum { kStatusPlaying = 1, kStatusLooping = 4 };

// 3D algorithm asked for at creation.
enum Audio3DAlgorithm { kAlgorithmDefault = 0, kAlgorithmHrtfFull = 1 };

// The wave format as it lies in a WAVE file's format chunk (18 bytes with cbSize; only the
// first 16 are read).
#pragma pack(push, 1)
struct PlatformWaveFormat {
    uint16_t formatTag;  // 1 = PCM
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};
#pragma pack(pop)

typedef struct PlatformBufferTag* PlatformBuffer;      // one whole sound
typedef struct PlatformBuffer3DTag* PlatformBuffer3D;  // the 3D interface of a 3D buffer
typedef struct PlatformListenerTag* PlatformListener;  // the device's one 3D listener

// Opens the default playback device. 0 on success.
int PlatformAudioOpen();
void PlatformAudioClose();

// Creates a stopped buffer at position 0 holding `bytes` bytes of `format` (PCM, 8 or 16 bits,
// 1 or 2 channels, 100 to 200,000 samples a second; anything else, or bytes 0, is refused).
int PlatformCreateBuffer(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                         Audio3DAlgorithm algorithm, PlatformBuffer* out);
// Lock gives one or two regions to fill; Unlock takes them back (and converts the samples to
// the device's format once).
int PlatformBufferLock(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                       uint32_t* bytes1, void** region2, uint32_t* bytes2);
int PlatformBufferUnlock(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                         uint32_t bytes2);
int PlatformBufferSetPosition(PlatformBuffer buffer, uint32_t bytePosition);
// Pan and volume in hundredths of a decibel; out of range is refused and the value kept.
int PlatformBufferSetPan(PlatformBuffer buffer, int pan);
int PlatformBufferSetVolume(PlatformBuffer buffer, int volume);
int PlatformBufferPlay(PlatformBuffer buffer, int flags);
// SetPosition, SetPan, SetVolume and Play in one step, each refused on its own terms as the four
// calls would be (a buffer without pan control keeps playing unpanned); the result is Play's.
int PlatformBufferStart(PlatformBuffer buffer, uint32_t bytePosition, int pan, int volume,
                        int flags);
int PlatformBufferStop(PlatformBuffer buffer);
int PlatformBufferGetStatus(PlatformBuffer buffer, uint32_t* status);
void PlatformBufferRelease(PlatformBuffer buffer);
// A name to know the buffer by in recordings (the file it was loaded from).
void PlatformBufferSetLabel(PlatformBuffer buffer, const char* label);

// The 3D interface of a buffer created with kBufferCtrl3D; refused for other buffers.
int PlatformBufferGet3D(PlatformBuffer buffer, PlatformBuffer3D* out);
int PlatformBuffer3DSetMinDistance(PlatformBuffer3D buffer3D, float distance);
int PlatformBuffer3DSetPosition(PlatformBuffer3D buffer3D, float x, float y, float z);
void PlatformBuffer3DRelease(PlatformBuffer3D buffer3D);

// The listener stays at the origin, facing +z, y up, x to the right.
int PlatformCreateListener(PlatformListener* out);
void PlatformListenerRelease(PlatformListener listener);

// ---------------------------------------------------------------------------------------------
// Game controller. The first attached joystick is opened; its state is read and discarded.

// 0 when a controller was opened, negative when there is none.
int PlatformControllerOpen();
// Makes sure the controller is in use by this program (on activation).
void PlatformControllerAcquire();
// Reads the controller's state. 0 when read, negative when the controller is lost.
int PlatformControllerPoll();
void PlatformControllerClose();

// ---------------------------------------------------------------------------------------------
// HTTP

// One GET of `url`, without headers of our own; connect time-out 10 s, whole request 30 s.
// Redirects are followed, up to five and to http and https URLs only; the reply is the last
// one's, and a sixth redirect fails the request. When `body` is not null, at most maxBodyBytes of
// the reply body are kept in it (the rest is not read). Returns 1 when a reply was received
// (whatever its status), 0 when the request failed.
int PlatformHttpGet(const char* url, std::string* body, size_t maxBodyBytes);
