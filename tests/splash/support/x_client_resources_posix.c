/* The X-Resource extension's count of a client's resources (windows,
 * pixmaps, graphics contexts, pictures, glyph sets, colormaps...), asked
 * the way libXRes asks; the library itself is not installed here. Xlib's
 * request macros want the connection to be called dpy. */
#include <X11/Xlibint.h>
#include <X11/extensions/XResproto.h>

static int find_client_base(Display* dpy, int major, unsigned long resource, CARD32* base)
{
    xXResQueryClientsReq* request;
    xXResQueryClientsReply reply;
    xXResClient client;
    CARD32 i;
    int found = 0;

    LockDisplay(dpy);
    GetReq(XResQueryClients, request);
    request->reqType = (CARD8)major;
    request->XResReqType = X_XResQueryClients;
    if (!_XReply(dpy, (xReply*)&reply, 0, xFalse)) {
        UnlockDisplay(dpy);
        SyncHandle();
        return 0;
    }
    for (i = 0; i < reply.num_clients; ++i) {
        _XRead(dpy, (char*)&client, sz_xXResClient);
        if ((resource & ~(unsigned long)client.resource_mask) == client.resource_base) {
            *base = client.resource_base;
            found = 1;
        }
    }
    UnlockDisplay(dpy);
    SyncHandle();
    return found;
}

long x_client_resource_count(Display* dpy, unsigned long any_resource_of_client)
{
    int major, first_event, first_error;
    CARD32 base = 0;
    xXResQueryClientResourcesReq* request;
    xXResQueryClientResourcesReply reply;
    xXResType type;
    CARD32 i;
    long total = 0;

    if (!XQueryExtension(dpy, XRES_NAME, &major, &first_event, &first_error))
        return -1;
    if (!find_client_base(dpy, major, any_resource_of_client, &base))
        return -1;

    LockDisplay(dpy);
    GetReq(XResQueryClientResources, request);
    request->reqType = (CARD8)major;
    request->XResReqType = X_XResQueryClientResources;
    request->xid = base;
    if (!_XReply(dpy, (xReply*)&reply, 0, xFalse)) {
        UnlockDisplay(dpy);
        SyncHandle();
        return -1;
    }
    for (i = 0; i < reply.num_types; ++i) {
        _XRead(dpy, (char*)&type, sz_xXResType);
        total += (long)type.count;
    }
    UnlockDisplay(dpy);
    SyncHandle();
    return total;
}
