#pragma once
// Shell and process helpers: opening documents and addresses with the desktop's handler,
// starting programs by path, file checks. No argument ever passes through a shell.

#include "src/platform/wintypes.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <vector>

// Opens a document (a local path) or an address with the desktop's handler. Only web
// addresses (http:, https:) and local files (file:) leave the program: addresses come from
// feeds and pages, and any other scheme (javascript:, data:, another program's own) would let
// them make the desktop run something. Returns 1 when the desktop accepted it; 0 for a refused
// address, which the caller tells the person about (RefusedAddressText).
BOOL ShellOpen(const QString& documentOrAddress);

// Whether an address may be handed to the desktop: http:, https: and file: ones.
bool IsOpenableAddress(const QUrl& url);
// What the person is told when an address is not opened for its scheme.
QString RefusedAddressText(const QString& address);
// Starts the program at the path with the arguments, each handed over verbatim; the new
// process runs on by itself. workingDirectory empty: the current one. Returns 1 when it
// started; processId (when given) receives its id.
BOOL StartProgram(const QString& program, const QStringList& arguments,
                  const QString& workingDirectory = QString(), qint64* processId = nullptr);

// File attributes, as the desktop reports them.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02; // the name starts with a dot
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80; // none of the others
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

DWORD GetFileAttributes(const QString& path); // INVALID_FILE_ATTRIBUTES when absent
BOOL FileExists(const QString& path);         // a file or a folder

namespace platform
{
// The test hook for ShellOpen: while set, every request is handed to the function (with the
// address ShellOpen made of it) instead of the desktop, and its answer returned.
void setShellOpenHook(std::function<bool(const QUrl&)> hook);
// The address ShellOpen would open for a text: a local path becomes a file: address.
QUrl shellOpenUrl(const QString& documentOrAddress);
} // namespace platform
