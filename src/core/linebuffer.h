// An ordered list of text lines held in memory, with the rules every command relies on:
// reading a missing line, replacing, appending, loading from and writing to a file.
// Lines are byte strings: a line read and written back unchanged keeps its bytes.
#pragma once

#include <QByteArray>
#include <QList>

class LineBuffer {
public:
    // How a load treats a NUL byte: configurations end their text there; emulator settings files
    // belong to another program and keep every byte.
    enum class Nul { EndsText, Kept };

    LineBuffer() = default;
    explicit LineBuffer(QList<QByteArray> lines) : m_lines(std::move(lines)) {}

    int count() const { return int(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    const QList<QByteArray> &lines() const { return m_lines; }

    // Line n; a missing line stops the command with "List index out of bounds (n)".
    const QByteArray &at(int n) const;
    // Removes line n and inserts `text` there; with exactly n lines it appends; with fewer it
    // stops the command with "Unable to insert a line".
    // A line never holds a line break: replacing or appending a text that holds one stops the
    // command (the line would come back from the file as two).
    void replace(int n, const QByteArray &text);
    void append(const QByteArray &text);
    void clear() { m_lines.clear(); }

    // Splits text into lines at CR LF, a lone CR or a lone LF; a last line without line end
    // counts, a line end at the very end adds no empty line.
    static QList<QByteArray> split(const QByteArray &text, Nul nul = Nul::EndsText);
    // Every line followed by CR LF.
    static QByteArray join(const QList<QByteArray> &lines);

    // Replaces the content with the file's lines; "Cannot open file %s" when it cannot be read.
    void load(const QByteArray &path, Nul nul = Nul::EndsText);
    // Writes every line followed by CR LF, replacing the file atomically; "Cannot create file
    // %s: %s" (the system's reason) on failure, the previous file being left as it was.
    void save(const QByteArray &path) const;

    bool operator==(const LineBuffer &other) const { return m_lines == other.m_lines; }

private:
    QList<QByteArray> m_lines;
};
