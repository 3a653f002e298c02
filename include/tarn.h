/*
 * tarn.h - the public interface of tarn.dll.
 *
 * Ten plain functions for PowerBuilder applications and any other Windows host. On 32-bit
 * Windows every function uses the stdcall convention and removes its own arguments; on 64-bit
 * Windows the platform's single calling convention applies. Every result is a 32-bit signed
 * integer. All strings are zero-terminated byte strings in the system's ANSI code page, which
 * may be a double-byte code page. Every buffer belongs to the caller: no function keeps a
 * pointer to it or hands back memory to free.
 */
#ifndef TARN_H
#define TARN_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define TARN_CALL __stdcall
#else
#define TARN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Base64 (standard alphabet, "=" pad, no line breaks). */

/* Decodes sourceLength characters of Base64 text into target and zero-fills target up to
 * targetSize. Returns the number of bytes written; -1 at the first character that is neither in
 * the alphabet nor "=" (the bytes of the quads before it stay, nothing else is written); -2 when
 * the bytes would not fit in targetSize or targetSize is negative (the bytes of the quads before
 * the first one that does not fit stay, nothing else is written, nothing past targetSize).
 * Decoding ends after the first quad that holds "=" at position 2 or 3, or that runs past the end
 * of the text; "=" at position 0 or 1 counts as the value 0. */
int32_t TARN_CALL Base64Decode(const char *source, int32_t sourceLength, unsigned char *target,
                               int32_t targetSize);

/* Encodes sourceLength bytes as Base64 text, 4 * ceil(sourceLength / 3) characters, then
 * zero-fills target up to targetSize (pass one byte more for a terminated string). Returns the
 * number of characters written; -2 when they would not fit in targetSize or targetSize is
 * negative (nothing written). */
int32_t TARN_CALL Base64Encode(const unsigned char *source, int32_t sourceLength, char *target,
                               int32_t targetSize);

/* File system. */

/* Creates the directory path with every missing directory above it. Returns 0 when the path
 * exists (already, or now), -1 when creating a level failed; the levels made before stay. */
int32_t TARN_CALL CreateDir(const char *path);

/* Text cipher. */

/* Enciphers or deciphers text in place with the first byte of key; applying it twice with the
 * same key restores the text. The length never changes and no output byte is zero. Returns 0. */
int32_t TARN_CALL Cryptogram(char *text, const char *key);

/* File system. */

/* Removes the directory path and everything below it, with or without one trailing backslash.
 * Returns 0 when removed; -1 when listing the directory after deleting its files failed; -2 when
 * deleting its files failed, it does not exist, or path names a drive or share root (refused,
 * nothing touched); -3 when a file reappeared in it; -4 when removing the directory itself
 * failed. A code from a subdirectory is passed up unchanged. Links are removed, never entered. */
int32_t TARN_CALL DelDir(const char *path);

/* Deletes every file matching pattern (wildcards in the last component), clearing read-only,
 * hidden and system attributes first. Returns 0 when done (also when only directories matched),
 * -1 when nothing matches or the pattern is null or invalid, -2 when a deletion failed (the files
 * listed before it are deleted). */
int32_t TARN_CALL DelFile(const char *pattern);

/* Counts the plain files matching pattern and, when copyPaths is nonzero, copies each full path
 * into pathBuffers[0], pathBuffers[1], ... (520 bytes per buffer always suffice). Returns the
 * count, or -1 when nothing matches or the search fails. pathBuffers may be null when copyPaths
 * is 0. */
int32_t TARN_CALL GetDirFiles(const char *pattern, char **pathBuffers, int32_t copyPaths);

/* Credentials. */

/* Reads "qzon.id" from the current directory and writes the deciphered database user name and
 * password into the two buffers (100 bytes each always suffice). Returns 0 when read, -1 when
 * the file cannot be opened or read (both buffers untouched). */
int32_t TARN_CALL GetQzDbUser(char *user, char *password);

/* Window utilities. */

/* Paints a percentage progress bar over the client area of window: fraction 0.0 is empty,
 * 1.0 is full. Returns 0. */
int32_t TARN_CALL Processor(void *window, double fraction);

/* With action 1, has the system's HTML Help engine display helpFile (HH_DISPLAY_TOPIC with
 * data); any other action does nothing. Returns 1. */
int32_t TARN_CALL chmOpen(void *owner, const char *helpFile, int32_t action, uintptr_t data);

#ifdef __cplusplus
}
#endif

#endif /* TARN_H */
