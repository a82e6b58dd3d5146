#include "data/Component.h"

#include <algorithm>

namespace tavim {

TComponent::TComponent(TComponent* owner, QString name) : m_owner(owner), m_name(std::move(name)) {
    if (m_owner)
        m_owner->m_components.push_back(this);
}

TComponent::~TComponent() {
    if (!m_owner)
        return;
    auto& list = m_owner->m_components;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TComponent* TComponent::findComponent(const QString& name) const {
    for (TComponent* c : m_components) {
        if (c->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return nullptr;
}

} // namespace tavim
