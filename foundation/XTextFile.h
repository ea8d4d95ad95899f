#pragma once

#include "XFile.h"

// Delimited text on top of XFile. Writing: values separated by the separator,
// lines ended by CR LF, nothing quoted while the quote sets are empty. Reading:
// line ends detected from the first 1023 bytes (CR LF, CR or LF); a file with
// CR line ends is taken as Mac Roman and converted to Windows-1252.
class XTextFile : public XFile
{
public:
    enum LineEnd
    {
        LineEndUnknown = 0,
        LineEndCRLF,
        LineEndCR,
        LineEndLF,
    };

    explicit XTextFile(char separator = '\t', const char* openQuotes = "", const char* closeQuotes = "");

    void SetSeparator(char separator) { separator_ = separator; }
    char Separator() const { return separator_; }
    // The closing quote of an opening quote is the character at the same
    // position of closeQuotes (the last one when shorter).
    void SetQuotes(const char* openQuotes, const char* closeQuotes);

    void Open(const XFileSpec& fileSpec, int mode) override;
    using XFile::Open;

    // Writes the separator unless the value starts a line, then the value.
    // Without quote sets, CR and LF in the value are written as blanks; with
    // quote sets, a value holding the separator, a quote, CR or LF is
    // written between the first quotes with closing quotes doubled.
    void WriteField(const char* value);
    void WriteField(const XString& value) { WriteField(value.Text()); }
    void EndLine(); // CR LF
    // Lines ended since the file was opened.
    long long LinesEnded() const { return linesEnded_; }

    // Reads one field; atEndOfLine tells whether it ended its line. False at
    // the end of the file when nothing was left to read.
    bool ReadField(XString& value, bool* atEndOfLine = nullptr);
    // Reads one whole line without its line end (separators are kept).
    bool ReadLine(XString& line);
    LineEnd DetectedLineEnd() const { return lineEnd_; }

private:
    int NextByte(); // -1 at the end
    void PushBack(int c) { pushed_ = c; }
    void DetectLineEnd();
    bool ReadRaw(XString& out, bool splitFields, bool* atEndOfLine);
    XString Convert(const XString& raw) const;

    char separator_;
    std::string openQuotes_;
    std::string closeQuotes_;
    bool lineStart_ = true;
    long long linesEnded_ = 0;
    LineEnd lineEnd_ = LineEndUnknown;
    std::string readBuffer_;
    size_t readPos_ = 0;
    bool readEof_ = false;
    int pushed_ = -1;
};
