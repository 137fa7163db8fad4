#include "vantrel/qkbuffer.h"

#include <QByteArray>
#include <cstdlib>
#include <cstring>

QKBuffer::~QKBuffer()
{
    Free();
}

void QKBuffer::Free()
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_allocated = 0;
}

void QKBuffer::SetSize(long n)
{
    if (n <= 0) {
        Free();
        return;
    }
    char* block = static_cast<char*>(std::calloc(size_t(n), 1));
    if (!block) {
        // Out of memory: the old contents stay as they were.
        return;
    }
    if (m_data && m_size > 0)
        std::memcpy(block, m_data, size_t(std::min(m_size, n)));
    std::free(m_data);
    m_data = block;
    m_size = n;
    m_allocated = size_t(n);
}

void QKBuffer::SetText(const char* text)
{
    if (!text) {
        Free();
        return;
    }
    const size_t length = std::strlen(text);
    char* block = static_cast<char*>(std::malloc(length + 1));
    if (!block)
        return;
    std::memcpy(block, text, length + 1);
    std::free(m_data);
    m_data = block;
    m_size = long(length);
    m_allocated = length + 1;
}

void QKBuffer::SetText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    SetText(utf8.constData());
}

QString QKBuffer::GetText() const
{
    if (!m_data || m_allocated == 0)
        return QString();
    // Read up to the first terminator, never past the block.
    const size_t limit = m_allocated;
    const void* end = std::memchr(m_data, 0, limit);
    const size_t length = end ? size_t(static_cast<const char*>(end) - m_data) : limit;
    return QString::fromUtf8(m_data, int(length));
}
