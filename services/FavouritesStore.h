// The user's favourites as other windows reach them: the main window keeps the list and its
// file, the submission window adds to it without knowing the main window's class.
#pragma once

#include <QString>

// One favourite: a channel (its stream address as tag) or a video ("youtube=" and its id).
struct FavoriteRecord {
    QString name;
    QString tag;
    QString category;
    QString type;
};

class FavouritesStore
{
public:
    // Adds the favourite at the end of the list; nothing is written yet.
    virtual void addFavorite(const FavoriteRecord &favorite) = 0;
    // Writes the whole list to the favourites file.
    virtual void saveFavorites() = 0;

protected:
    FavouritesStore() = default;
    ~FavouritesStore() = default;
    FavouritesStore(const FavouritesStore &) = default;
    FavouritesStore &operator=(const FavouritesStore &) = default;
};
