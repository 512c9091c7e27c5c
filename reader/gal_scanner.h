// The full declaration of the chart scanner class `galFlexLexer`, for the
// reader's own sources. FlexLexer.h declares its scanner class under whatever
// name yyFlexLexer stands for when it is included, once per name per source
// file: include it through this header only.
#ifndef TESSAN_READER_GAL_SCANNER_H
#define TESSAN_READER_GAL_SCANNER_H

#undef yyFlexLexer
#define yyFlexLexer galFlexLexer
#include <FlexLexer.h>
#undef yyFlexLexer

#endif
