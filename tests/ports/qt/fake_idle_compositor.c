/* A Wayland server of the idle service's tests that offers only a seat and
 * ext-idle-notify-v1, as a compositor with that protocol would: it listens on
 * the socket named by its argument (in $XDG_RUNTIME_DIR), writes a line
 * "notification <timeout>" for each idle notification asked for, and sends
 * every notification "idled" on SIGUSR1 and "resumed" on SIGUSR2. SIGTERM
 * ends it. */
#include "ext-idle-notify-v1-server-protocol.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <wayland-server.h>

struct server {
    struct wl_display* display;
    struct wl_list notifications; /* wl_resource links */
};

static void destroy_resource(struct wl_client* client, struct wl_resource* resource) {
    (void)client;
    wl_resource_destroy(resource);
}

static const struct ext_idle_notification_v1_interface notification_impl = {destroy_resource};

static void notification_gone(struct wl_resource* resource) {
    wl_list_remove(wl_resource_get_link(resource));
}

static void get_idle_notification(struct wl_client* client, struct wl_resource* notifier,
                                  uint32_t id, uint32_t timeout, struct wl_resource* seat) {
    (void)seat;
    struct server* server = wl_resource_get_user_data(notifier);
    struct wl_resource* resource =
        wl_resource_create(client, &ext_idle_notification_v1_interface, 1, id);
    wl_resource_set_implementation(resource, &notification_impl, server, notification_gone);
    wl_list_insert(&server->notifications, wl_resource_get_link(resource));
    printf("notification %u\n", timeout);
    fflush(stdout);
}

static const struct ext_idle_notifier_v1_interface notifier_impl = {destroy_resource,
                                                                    get_idle_notification};

static void bind_notifier(struct wl_client* client, void* data, uint32_t version, uint32_t id) {
    struct wl_resource* resource =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, (int)version, id);
    wl_resource_set_implementation(resource, &notifier_impl, data, NULL);
}

static void seat_get_pointer(struct wl_client* c, struct wl_resource* r, uint32_t id) {
    (void)c, (void)r, (void)id;
}
static void seat_get_keyboard(struct wl_client* c, struct wl_resource* r, uint32_t id) {
    (void)c, (void)r, (void)id;
}
static void seat_get_touch(struct wl_client* c, struct wl_resource* r, uint32_t id) {
    (void)c, (void)r, (void)id;
}

static const struct wl_seat_interface seat_impl = {seat_get_pointer, seat_get_keyboard,
                                                   seat_get_touch, destroy_resource};

static void bind_seat(struct wl_client* client, void* data, uint32_t version, uint32_t id) {
    struct wl_resource* resource = wl_resource_create(client, &wl_seat_interface, (int)version, id);
    wl_resource_set_implementation(resource, &seat_impl, data, NULL);
}

static int tell(int signal, void* data) {
    struct server* server = data;
    struct wl_resource* resource;
    wl_resource_for_each(resource, &server->notifications) {
        if (signal == SIGUSR1) {
            ext_idle_notification_v1_send_idled(resource);
        } else {
            ext_idle_notification_v1_send_resumed(resource);
        }
    }
    wl_display_flush_clients(server->display);
    return 0;
}

static int end(int signal, void* data) {
    (void)signal;
    wl_display_terminate(((struct server*)data)->display);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    struct server server;
    server.display = wl_display_create();
    wl_list_init(&server.notifications);
    if (wl_display_add_socket(server.display, argv[1]) != 0) return 1;
    wl_global_create(server.display, &wl_seat_interface, 1, &server, bind_seat);
    wl_global_create(server.display, &ext_idle_notifier_v1_interface, 1, &server, bind_notifier);
    struct wl_event_loop* loop = wl_display_get_event_loop(server.display);
    wl_event_loop_add_signal(loop, SIGUSR1, tell, &server);
    wl_event_loop_add_signal(loop, SIGUSR2, tell, &server);
    wl_event_loop_add_signal(loop, SIGTERM, end, &server);
    printf("ready\n");
    fflush(stdout);
    wl_display_run(server.display);
    wl_display_destroy(server.display);
    return 0;
}
