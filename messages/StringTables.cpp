// Places the two generated string tables into the program image, read-only,
// each between the start and end symbols that LoadRes.h declares. The build
// gives the paths of the generated tables as VEXO_RESOURCE_RES and
// VEXO_RESOURCE_ENU_RES.

#define VEXO_STRING_TABLE(symbol, path) \
  ".globl " symbol                      \
  "_start\n"                            \
  ".globl " symbol "_end\n" symbol      \
  "_start:\n"                           \
  ".incbin \"" path "\"\n" symbol "_end:\n"

asm(".pushsection .rodata.vexo_string_tables, \"a\", @progbits\n" VEXO_STRING_TABLE(
    "_binary_resource_res", VEXO_RESOURCE_RES)
        VEXO_STRING_TABLE("_binary_resource_enu_res", VEXO_RESOURCE_ENU_RES) ".popsection\n");
