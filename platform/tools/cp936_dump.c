/* Dumps the system's code page 936 conversion as make_gbk_table.py reads it.
 *
 *   x86_64-w64-mingw32-gcc -O2 -o cp936_dump.exe cp936_dump.c
 *   wine cp936_dump.exe cp936.bin        (or run it on Windows)
 *
 * Layout, all little-endian 16-bit words:
 *   256 x {count, unit, unit}            each single byte, MultiByteToWideChar without flags
 *   126 x 256 x {count, unit, unit}      each byte pair with lead 0x81..0xFE
 *   65536 x code                         WideCharToMultiByte of each UTF-16 unit, without
 *                                        flags: the byte or the two bytes (lead high), or
 *                                        0xFFFF when the default character was used
 */
#include <stdio.h>
#include <windows.h>

static void put_decoded(FILE* f, const unsigned char* in, int n) {
  WCHAR out[4] = {0};
  int r = MultiByteToWideChar(936, 0, (const char*)in, n, out, 4);
  unsigned short v[3] = {(unsigned short)r, out[0], out[1]};
  fwrite(v, 2, 3, f);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: cp936_dump OUTPUT\n");
    return 2;
  }
  FILE* f = fopen(argv[1], "wb");
  if (!f) return 1;
  for (int b = 0; b < 256; b++) {
    unsigned char in[1] = {(unsigned char)b};
    put_decoded(f, in, 1);
  }
  for (int lead = 0x81; lead <= 0xFE; lead++)
    for (int trail = 0; trail < 256; trail++) {
      unsigned char in[2] = {(unsigned char)lead, (unsigned char)trail};
      put_decoded(f, in, 2);
    }
  for (int u = 0; u < 0x10000; u++) {
    WCHAR w = (WCHAR)u;
    char o[8];
    BOOL used = FALSE;
    int r = WideCharToMultiByte(936, 0, &w, 1, o, 8, NULL, &used);
    unsigned short v = 0xFFFF;
    if (!used && r == 1) v = (unsigned char)o[0];
    if (!used && r == 2) v = (unsigned short)(((unsigned char)o[0] << 8) | (unsigned char)o[1]);
    fwrite(&v, 2, 1, f);
  }
  return fclose(f) == 0 ? 0 : 1;
}
