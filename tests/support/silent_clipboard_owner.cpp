// An application that takes the CLIPBOARD and hangs: it answers no request
// for the data, and answers the type list only when given the targets to
// list on its command line. Prints "ready" once it owns the selection, then
// "asked TARGET" for every request, and keeps the selection until its
// standard input closes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string nameOf(xcb_connection_t *connection, xcb_atom_t atom)
{
    const std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> reply(
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr), &std::free);
    return reply
        ? std::string(xcb_get_atom_name_name(reply.get()), size_t(xcb_get_atom_name_name_length(reply.get())))
        : std::string();
}

// Lists targets in the requestor's property and tells it so.
void answerWithTargets(xcb_connection_t *connection, const xcb_selection_request_event_t &request,
    const std::vector<xcb_atom_t> &targets)
{
    const xcb_atom_t property = request.property != XCB_ATOM_NONE ? request.property : request.target;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32,
        std::uint32_t(targets.size()), targets.data());
    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(
        connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notify));
    xcb_flush(connection);
}

} // namespace

int main(int argc, char **argv)
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection))
        return 1;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);

    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = atomNamed(connection, "CLIPBOARD");
    const xcb_atom_t targetsAtom = atomNamed(connection, "TARGETS");
    std::vector<xcb_atom_t> targets;
    for (int i = 1; i < argc; ++i)
        targets.push_back(atomNamed(connection, argv[i]));

    xcb_set_selection_owner(connection, window, clipboard, XCB_CURRENT_TIME);
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard), nullptr),
        &std::free);
    if (!owner || owner->owner != window)
        return 1;
    std::puts("ready");
    std::fflush(stdout);

    pollfd watched[] {{xcb_get_file_descriptor(connection), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    while (!xcb_connection_has_error(connection)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                const auto *request = reinterpret_cast<const xcb_selection_request_event_t *>(event);
                std::printf("asked %s\n", nameOf(connection, request->target).c_str());
                std::fflush(stdout);
                if (request->target == targetsAtom && !targets.empty())
                    answerWithTargets(connection, *request, targets);
            }
            std::free(event);
        }
        if (poll(watched, 2, -1) < 0)
            break;
        char buffer[256];
        if (watched[1].revents != 0 && read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            break;
    }
    xcb_disconnect(connection);
    return 0;
}
