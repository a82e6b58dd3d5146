#pragma once

#include <QString>
#include <vector>

namespace tavim {

// A named part of a form or data module. Components are members of their
// owner; the owner only keeps a list of them so that they can be found by name.
class TComponent {
public:
    TComponent(TComponent* owner, QString name);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const QString& name() const { return m_name; }
    TComponent* owner() const { return m_owner; }
    // Case-insensitive, as component names are.
    TComponent* findComponent(const QString& name) const;

private:
    TComponent* m_owner;
    QString m_name;
    std::vector<TComponent*> m_components;
};

} // namespace tavim
