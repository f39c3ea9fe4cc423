// Alvo do libFuzzer: leitor do arquivo de entrada e derivação dos níveis. Toda entrada termina em
// valores consistentes ou num erro_fatal; qualquer outra coisa (falha, exceção estranha, invariante
// quebrada) é um defeito.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "state/erro_fatal.h"
#include "run/execucao.h"

namespace {

void exigir(bool c) {
    if (!c) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t n) {
    std::string copia(reinterpret_cast<const char*>(dados), n);
    copia.push_back('\0'); // fmemopen não aceita tamanho 0
    std::FILE* f = fmemopen(copia.data(), n == 0 ? 1 : n, "r");
    if (!f) return 0;
    if (n == 0) std::fgetc(f); // consome o byte extra: arquivo vazio
    estado_execucao e;
    try {
        ler_valores(e, f, "fuzz.ent");
    } catch (const erro_fatal&) {
        std::fclose(f);
        return 0;
    }
    std::fclose(f);
    derivar_niveis(e);
    exigir(e.caso.size() == 50 && e.titulo.size() == 90);
    exigir(e.nm >= 1 && e.nm <= 31 && e.nxg[1] >= 2 && e.nyg[1] >= 2);
    long long total = 0;
    for (int k = 1; k <= e.nm; ++k) {
        if (k > 1) exigir(e.nxg[k] == 2 * e.nxg[k - 1] - 1 && e.nyg[k] == 2 * e.nyg[k - 1] - 1);
        exigir(static_cast<long long>(e.nxg[k]) * e.nyg[k] == e.nxyg[k]);
        total += e.nxyg[k];
    }
    exigir(total == e.nxyt);
    const necessidade_memoria m = memoria_necessaria(e, opcoes_execucao{}, metodo_efetivo({}, e.nitm, e.nm, e.problema));
    exigir(m.T > 0 && m.hist > 0 && m.cor >= 0 && m.cor == m.res);
    return 0;
}
