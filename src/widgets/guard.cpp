#include "guard.h"

#include "errors.h"
#include "modals.h"

void runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const CommandStopped &) {
        // The user stopped it and knows.
    } catch (const CommandError &e) {
        Modals::current().error(Errors::boxText(e.message()));
    } catch (const std::bad_alloc &) {
        Modals::current().error(Errors::boxText(QStringLiteral("Out of memory")));
    } catch (const std::exception &e) {
        Modals::current().error(Errors::boxText(QString::fromUtf8(e.what())));
    }
}
