#pragma once

// The functions of the media module (libormil_media.so): everything that
// needs libavformat and libavcodec. Those two libraries pull in every codec
// FFmpeg was built with, so they live in a module loaded on first use rather
// than in the executable, which would load and relocate them at every start.
// Only plain C types cross this boundary.
#include <stddef.h>
#include <stdint.h>

extern "C" {

// Raised whenever a member changes meaning; the application refuses a module
// of another version.
#define ORMIL_MEDIA_INTERFACE_VERSION 1
#define ORMIL_MEDIA_ENTRY "ormil_media_functions"

// Receives converted audio: `samples` mono samples in `bytes`. Returns 0 to
// stop the read.
typedef int (*OrmilMediaSink)(void* context, const uint8_t* bytes, int samples);

// How a read of a WAV file ended.
enum OrmilMediaReadStatus {
    ORMIL_MEDIA_READ_COMPLETE = 0,     // the whole file was read
    ORMIL_MEDIA_READ_OPEN_FAILED = 1,  // not a readable WAV file, or no conversion
    ORMIL_MEDIA_READ_ERROR = 2,        // a read or decode error after some audio
    ORMIL_MEDIA_READ_STOPPED = 3,      // the sink asked to stop
};

// How a decoding of a media file ended.
enum OrmilMediaDecodeStatus {
    ORMIL_MEDIA_DECODED = 0,           // the whole audio stream was handed on
    ORMIL_MEDIA_NO_AUDIO_STREAM = 1,   // unreadable, or no audio stream in it
    ORMIL_MEDIA_DECODER_UNUSABLE = 2,  // no decoder, or its buffers cannot be made
    ORMIL_MEDIA_DECODER_FAILED = 3,    // the decoder would not open (error text set)
    ORMIL_MEDIA_NO_CONVERSION = 4,     // the conversion to the output cannot be set up
    ORMIL_MEDIA_READ_FAILED = 5,       // reading or decoding failed (error text set)
    ORMIL_MEDIA_STOPPED = 6,           // a callback asked to stop
};

// One decoding of the first audio stream of a media file into 16-bit mono
// samples at outRate.
struct OrmilMediaDecode {
    const char* path;  // the file name in the file system's encoding
    int outRate;
    void* context;     // handed to every callback
    // Called once the decoder and the conversion are set up, before any
    // audio; returns 0 to stop.
    int (*ready)(void* context);
    OrmilMediaSink sink;
    // The percentage read (0 to 100, never falling), after each decoded
    // frame; only for files that state their duration.
    void (*progress)(void* context, double percent);
    char error[128];  // the decoder's own text for a failure
};

struct OrmilMediaFunctions {
    int version;
    // Reads a WAV file of any PCM layout as mono samples of one packed
    // sample format (an AVSampleFormat) and rate; returns an
    // OrmilMediaReadStatus.
    int (*readWav)(const char* path, int outRate, int outFormat, OrmilMediaSink sink,
                   void* context);
    // Writes the WAV file's audio as AAC-LC in an M4A file; 1 when the
    // file was written.
    int (*encodeAac)(const char* wavPath, const char* m4aPath, int sampleRate, int bitrate);
    // Returns an OrmilMediaDecodeStatus.
    int (*decodeMedia)(OrmilMediaDecode* request);
};

// The module's one exported symbol (ORMIL_MEDIA_ENTRY).
typedef const OrmilMediaFunctions* (*OrmilMediaEntry)(void);
}
