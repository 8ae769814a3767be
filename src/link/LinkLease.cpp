#include "LinkLease.h"

#include "Link.h"

namespace nodalyx {

LinkLease::LinkLease(LinkLease&& other) noexcept
    : m_link(std::exchange(other.m_link, nullptr)), m_holder(std::move(other.m_holder)) {}

LinkLease& LinkLease::operator=(LinkLease&& other) noexcept {
    if (this != &other) {
        release();
        m_link = std::exchange(other.m_link, nullptr);
        m_holder = std::move(other.m_holder);
    }
    return *this;
}

LinkLease::~LinkLease() {
    release();
}

void LinkLease::release() {
    if (Link* link = m_link.data()) {
        m_link = nullptr;
        link->endLease();
    }
}

} // namespace nodalyx
