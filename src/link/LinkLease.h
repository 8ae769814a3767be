#pragma once

#include <QPointer>
#include <QString>

namespace nodalyx {

class Link;

// The link's device handed to one holder (the file transfer, the highway test). While a lease
// lives the link neither reads nor writes, its poll timer is off and its requests are refused;
// the holder opens the port or socket itself, at any speed. When the lease ends the link is
// closed, and its next exchange opens the location's endpoint afresh at 19200 8N1.
//
// Move-only. An empty lease (refused, released, moved from) holds nothing.
class LinkLease {
public:
    LinkLease() = default;
    LinkLease(LinkLease&& other) noexcept;
    LinkLease& operator=(LinkLease&& other) noexcept;
    LinkLease(const LinkLease&) = delete;
    LinkLease& operator=(const LinkLease&) = delete;
    ~LinkLease();

    explicit operator bool() const { return !m_link.isNull(); }
    QString holder() const { return m_holder; }
    // Gives the device back to the link. Safe to call twice.
    void release();

private:
    friend class Link;
    LinkLease(Link* link, QString holder) : m_link(link), m_holder(std::move(holder)) {}

    QPointer<Link> m_link;
    QString m_holder;
};

} // namespace nodalyx
