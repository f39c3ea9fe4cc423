// Entrada do programa: opções, a rodada e o único lugar que captura os erros e dá o código de saída.
#include <exception>
#include <new>

#include "platform/plataforma.h"
#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "study/estudo.h"
#include "run/execucao.h"

int main(int argc, char** argv) {
    const leitura_opcoes l = interpretar_opcoes(argc, argv);
    if (!l.rodar) return l.codigo;
    instalar_tratamento_de_sinais();
    int codigo = 1;
    try {
        const opcoes_execucao& o = l.opcoes;
        estado_execucao e;
        codigo = o.varreduras.empty() && o.tabela_estudo.empty() ? executar(e, o) : executar_estudo(o);
    } catch (const std::bad_alloc&) {
        escrever_mensagem(std::string("out of memory ") + fase_rodada::atual());
    } catch (const erro_fatal& x) {
        escrever_mensagem(x.what());
        if (!x.dica.empty()) escrever_mensagem("hint: " + x.dica);
    } catch (const std::exception& x) {
        escrever_mensagem(x.what());
    }
    const std::string perdida = fechar_saida_padrao();
    if (!perdida.empty()) {
        escrever_mensagem(perdida);
        codigo = codigo == 0 ? 1 : codigo;
    }
    return codigo;
}
