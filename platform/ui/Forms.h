// The collection of loaded windows, one instance per window class, in load order.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace ui
{

class Form;

class Forms
{
public:
    using Factory = std::function<Form *()>;

    static void registerClass(const QString &className, Factory factory);
    static bool isRegistered(const QString &className);

    // Creates the window and runs its Form_Load when it is not loaded yet; returns the
    // loaded instance otherwise; nullptr for a class nobody registered, and for a window not
    // loaded yet once the program is ending.
    static Form *load(const QString &className);
    static Form *find(const QString &name);
    static void show(const QString &name, bool modal = false);
    static void hide(const QString &name);
    // Form_QueryUnload (UnloadMode vbFormCode), then Form_Unload; false when either cancels.
    // The window leaves the collection at once and is deleted when control returns to the
    // event loop, so a window may unload itself from its own handlers. True when not loaded.
    static bool unload(const QString &name);
    static bool unload(Form *form);
    static QList<Form *> loaded();
    // False from the moment a window unloads, also while its deletion is still pending.
    static bool isLoaded(const Form *form);
    // Unloads every window without asking (test teardown).
    static void unloadAll();

private:
    friend class Form;
    static void forget(Form *form);
    // Takes an unloaded window out of the collection and deletes it once no handler that
    // lets messages run can still be working with it.
    static void release(Form *form);
};

} // namespace ui
