/* int zv_call_checked(void* function, const uintptr_t* args, int count)
   Calls `function` with `count` 32-bit arguments, args[0] first, and returns
   ESP after the call minus ESP before the pushes: 0 when the callee kept to
   the standard calling convention and removed exactly its arguments. ESP is
   kept in EBX, which every callee must preserve, so whatever the callee did
   to the stack, this thunk returns on its own frame. */
    .text
    .globl _zv_call_checked
    .def _zv_call_checked; .scl 2; .type 32; .endef
_zv_call_checked:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl 8(%ebp), %eax
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %ebx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *%eax
    movl %esp, %eax
    subl %ebx, %eax
    movl %ebx, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
