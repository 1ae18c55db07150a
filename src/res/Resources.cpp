#include "Resources.h"

extern const DialogTemplate kLoginDialogTemplate;
extern const DialogTemplate kPassphraseDialogTemplate;
extern const DialogTemplate kProfileGeneralTemplate;
extern const DialogTemplate kProfileAdvancedTemplate;
extern const MenuResource kProfileMenu;
extern const AcceleratorTable kLoginAccelerators;

namespace {

template <class Resource, std::size_t N>
const Resource* FindById(const Resource* const (&resources)[N], unsigned id)
{
    for (const Resource* resource : resources)
        if (resource->id == id)
            return resource;
    return nullptr;
}

} // namespace

const DialogTemplate* FindDialogTemplate(unsigned id)
{
    static const DialogTemplate* const kDialogs[] = {&kLoginDialogTemplate, &kPassphraseDialogTemplate,
                                                      &kProfileGeneralTemplate, &kProfileAdvancedTemplate};
    return FindById(kDialogs, id);
}

const MenuResource* FindMenuResource(unsigned id)
{
    static const MenuResource* const kMenus[] = {&kProfileMenu};
    return FindById(kMenus, id);
}

const AcceleratorTable* FindAcceleratorTable(unsigned id)
{
    static const AcceleratorTable* const kTables[] = {&kLoginAccelerators};
    return FindById(kTables, id);
}
