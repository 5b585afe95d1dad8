// The records that the bench's own programs add to the call log (the file
// named by KVX_BENCH_LOG), beside the doubles' records. A record is one line
// ended by CR LF: the kind, the time in milliseconds (GetTickCount) and the
// fields, separated by tabs, each field escaped as the doubles escape theirs.
//
// The doubles' records begin with the double's name; these begin with "@".
#ifndef KVX_BENCH_TRACE_RECORD_H
#define KVX_BENCH_TRACE_RECORD_H

namespace kvx::bench {

inline constexpr const char* kAnswersVariable = "KVX_BENCH_ANSWERS";
// "uefi": the tracer answers the program's firmware questions as UEFI does.
inline constexpr const char* kFirmwareVariable = "KVX_BENCH_FIRMWARE";

// kvx_start.exe
inline constexpr const char* kRecordStart = "@start";  // command line, folder
inline constexpr const char* kRecordExit = "@exit";    // exit code, processes started
// kvx_trace.dll, inside kvxcfg.exe
inline constexpr const char* kRecordRun = "@run";                // command line
inline constexpr const char* kRecordBatch = "@batch";            // path, bytes as run
inline constexpr const char* kRecordNotStarted = "@notstarted";  // Windows error code
inline constexpr const char* kRecordEnded = "@ended";            // exit code of the started process
inline constexpr const char* kRecordBox = "@box";                // style, caption or "-", text
inline constexpr const char* kRecordShown = "@shown";    // caption, text, buttons "6=&Yes 7=&No"
inline constexpr const char* kRecordPress = "@press";    // button code pressed
inline constexpr const char* kRecordAnswer = "@answer";  // code the box returned
inline constexpr const char* kRecordPause = "@pause";    // milliseconds
inline constexpr const char* kRecordHost = "@host";      // operation and its arguments

}  // namespace kvx::bench

#endif  // KVX_BENCH_TRACE_RECORD_H
