#pragma once
// A growable byte buffer that engine queries fill with their text results.

#include <QString>
#include <cstddef>

class QKBuffer
{
public:
    QKBuffer() = default;
    ~QKBuffer();
    QKBuffer(const QKBuffer&) = delete;
    QKBuffer& operator=(const QKBuffer&) = delete;

    // n > 0 allocates n zero bytes, keeps the first min(old size, n) old bytes and frees the
    // old block; n <= 0 empties the buffer.
    void SetSize(long n);
    // Stores the text (UTF-8) with its terminator; the size is the text's length in bytes.
    void SetText(const QString& text);
    void SetText(const char* text);

    char* GetData() { return m_data; }
    const char* GetData() const { return m_data; }
    long GetSize() const { return m_size; }
    // The contents read as UTF-8 text up to the first terminator, or the whole block when it
    // holds none (never past its end); empty when nothing is allocated.
    QString GetText() const;

private:
    void Free();

    char* m_data = nullptr;
    long m_size = 0;
    std::size_t m_allocated = 0;
};
