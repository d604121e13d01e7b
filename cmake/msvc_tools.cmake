# Debian's LLVM 14 tools for what Visual C++ hosts use: llvm-dlltool makes the
# COFF import library readcard.lib; clang in its cl mode and lld-link build a
# test host the way Visual C++ builds one (scripts/setup.sh installs them).
find_program(READCARD_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool REQUIRED)
find_program(READCARD_CLANG NAMES clang-14 clang REQUIRED)
find_program(READCARD_LLD_LINK NAMES lld-link-14 lld-link REQUIRED)
