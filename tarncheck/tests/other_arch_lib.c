/* A library with both exports the wizard binds, built for the other
   architecture than the build it is tested with (x64 for the 32-bit
   build, x86 for the 64-bit one): the wizard can load neither. */
__declspec(dllexport) unsigned long GetOddsListW(void* buffer, void* count) {
  (void)buffer;
  (void)count;
  return 55;
}

__declspec(dllexport) int ShowAttentionToDiscFormatDlg(void* owner) {
  (void)owner;
  return 1;
}
