#include "CabBuilder.h"

#include "LittleEndian.h"

std::string BuildCab(const std::vector<CabMember>& members) {
    const size_t kBlock = 32768;
    std::string files, folderData;
    for (const CabMember& m : members) {
        Put32(files, uint32_t(m.data.size()));
        Put32(files, uint32_t(folderData.size())); // offset in the folder
        Put16(files, 0);                           // folder 0
        Put16(files, 0x5022);                      // 2020-01-02
        Put16(files, 0x1883);                      // 03:04:06
        Put16(files, m.attributes);
        files += m.name;
        files += '\0';
        folderData += m.data;
    }
    std::string blocks;
    uint32_t blockCount = 0;
    for (size_t at = 0; at < folderData.size() || blockCount == 0; at += kBlock, ++blockCount) {
        const std::string chunk = folderData.substr(at, kBlock);
        Put32(blocks, 0); // no checksum
        Put16(blocks, uint32_t(chunk.size()));
        Put16(blocks, uint32_t(chunk.size()));
        blocks += chunk;
    }
    const uint32_t filesAt = 36 + 8, dataAt = filesAt + uint32_t(files.size());
    std::string cab = "MSCF";
    Put32(cab, 0);
    Put32(cab, dataAt + uint32_t(blocks.size())); // cabinet size
    Put32(cab, 0);
    Put32(cab, filesAt);
    Put32(cab, 0);
    cab += char(3); // version 1.3
    cab += char(1);
    Put16(cab, 1); // folders
    Put16(cab, uint32_t(members.size()));
    Put16(cab, 0); // flags
    Put16(cab, 0); // set id
    Put16(cab, 0); // cabinet number
    Put32(cab, dataAt);
    Put16(cab, blockCount);
    Put16(cab, 0); // stored
    return cab + files + blocks;
}
