// The loaded windows, one per class, in load order.
#include "platform/ui/Forms.h"

#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"

#include <QHash>
#include <QPointer>

namespace ui
{
namespace
{

struct Registry {
    QHash<QString, Forms::Factory> factories; // by lower-cased class name
    QList<QPointer<Form>> loaded;
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

void Forms::registerClass(const QString &className, Factory factory)
{
    registry().factories.insert(className.toLower(), std::move(factory));
}

bool Forms::isRegistered(const QString &className)
{
    return registry().factories.contains(className.toLower());
}

Form *Forms::find(const QString &name)
{
    for (const QPointer<Form> &f : registry().loaded) {
        if (f && f->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    }
    return nullptr;
}

Form *Forms::load(const QString &className)
{
    if (Form *existing = find(className))
        return existing;
    // A window asked for once the end has begun would outlive nothing but its own start-up.
    if (programEnding())
        return nullptr;
    const auto it = registry().factories.constFind(className.toLower());
    if (it == registry().factories.constEnd() || !*it)
        return nullptr;
    Form *form = (*it)();
    if (!form)
        return nullptr;
    registry().loaded.append(form);
    QPointer<Form> guard(form);
    form->Form_Load();
    // The load handler may have unloaded the window again.
    return (guard && loaded().contains(form)) ? form : nullptr;
}

void Forms::show(const QString &name, bool modal)
{
    if (Form *form = load(name))
        form->Show(modal);
}

void Forms::hide(const QString &name)
{
    if (Form *form = find(name))
        form->Hide();
}

bool Forms::unload(const QString &name)
{
    return unload(find(name));
}

bool Forms::unload(Form *form)
{
    if (!form || form->m_unloading)
        return true;
    form->m_unloading = true;
    if (!form->runUnloadHooks(Form::vbFormCode)) {
        form->m_unloading = false;
        return false;
    }
    form->hide();
    release(form);
    return true;
}

void Forms::release(Form *form)
{
    if (!loaded().contains(form))
        return;
    forget(form);
    // Posted from inside DoEvents(), the deletion could run in a later DoEvents() of the
    // same handler while that handler still works with the window.
    ui::afterDoEvents([f = QPointer<Form>(form)] {
        if (f)
            f->deleteLater();
    });
}

QList<Form *> Forms::loaded()
{
    QList<Form *> list;
    for (const QPointer<Form> &f : registry().loaded) {
        if (f)
            list.append(f);
    }
    return list;
}

bool Forms::isLoaded(const Form *form)
{
    if (!form)
        return false;
    for (const QPointer<Form> &f : registry().loaded) {
        if (f == form)
            return true;
    }
    return false;
}

void Forms::unloadAll()
{
    const QList<Form *> all = loaded();
    registry().loaded.clear();
    for (Form *f : all) {
        f->m_unloading = true;
        f->hide();
        delete f;
    }
}

void Forms::forget(Form *form)
{
    registry().loaded.removeIf([form](const QPointer<Form> &f) { return !f || f == form; });
}

} // namespace ui
