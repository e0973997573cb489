// The program's fixed texts, each under its name: every exception message and every text of a box,
// the folder dialog and the status bar. The code names a text and never spells it out, so a wording
// is changed here alone. A "%s" or "%d" is filled in with Format, in the order the text reads.
#pragma once

namespace Texts {

// Exception messages: what the error report shows, but for the closing full stop it adds.
inline constexpr char OperationAborted[] = "Operation aborted";
inline constexpr char InvalidInteger[] = "'%s' is not a valid integer value";      // the text
inline constexpr char CannotAssign[] = "Cannot assign a %s to a %s";               // two classes
inline constexpr char UnknownExtension[] = "Unknown picture file extension (.%s)"; // no dot
inline constexpr char InvalidBitmap[] = "Bitmap image is not valid";
inline constexpr char InvalidMetafile[] = "Metafile is not valid";
inline constexpr char InvalidIcon[] = "Icon image is not valid";
inline constexpr char ScanLineOutOfRange[] = "Scan line index out of range";
inline constexpr char EmptyBitmapSave[] = "Cannot save an empty bitmap (%d x %d)";
inline constexpr char EmptyThumbnailSave[] = "Cannot save an empty thumbnail (%d x %d)";
inline constexpr char JpegError[] = "JPEG error #%d"; // libjpeg's message code
inline constexpr char TooManyScans[] = "JPEG error: more than %d scans";
inline constexpr char CannotOpenFile[] = "Cannot open file \"%s\". %s";     // path, reason
inline constexpr char CannotCreateFile[] = "Cannot create file \"%s\". %s"; // path, reason
inline constexpr char StreamReadError[] = "Stream read error";
inline constexpr char StreamWriteError[] = "Stream write error";
inline constexpr char InvalidFloatOperation[] = "Invalid floating point operation";
inline constexpr char FloatDivisionByZero[] = "Floating point division by zero";
inline constexpr char OutOfMemory[] = "Out of memory";
inline constexpr char OutOfResources[] = "Out of system resources";
inline constexpr char PlaceholderMissing[] = "The placeholder picture is missing from the program";
inline constexpr char UnknownException[] = "Unknown exception";

// The boxes, the folder dialog and the status bar.
inline constexpr char ApplicationTitle[] = "Corvantis"; // the caption of every box
inline constexpr char OkButton[] = "OK";
inline constexpr char CancelButton[] = "Cancel";
inline constexpr char SystemNotice[] = "这是系统提示:"; // then the failure's message
inline constexpr char DamagedPicture[] = "遇到了格式不标准可已经损坏了的图片文件!";
inline constexpr char OperationDone[] = "操作完成!";
inline constexpr char OperationCancelled[] = "操作已取消!";
inline constexpr char ChooseFolderTitle[] = "请选择相应文件夹";
inline constexpr char ThumbnailSizeStatus[] = "缩图大小尺寸:"; // then width "x" height

} // namespace Texts
